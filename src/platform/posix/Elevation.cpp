#include "platform/posix/Elevation.h"

#include <unistd.h>

namespace platform {
bool IsEffectiveRoot() { return geteuid() == 0; }
}  // namespace platform
