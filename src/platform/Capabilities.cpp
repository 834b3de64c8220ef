#include "platform/Capabilities.h"

namespace platform {

bool ScreenCastSupported() { return false; }
bool ScreenCastBorderToggle() { return false; }
bool ScreenCastCursorToggle() { return false; }
bool ExcludeFromCaptureSupported() { return false; }

}  // namespace platform
