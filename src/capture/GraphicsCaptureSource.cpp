#include "capture/GraphicsCaptureSource.h"

#include "platform/Capabilities.h"

bool CaptureSupported() { return platform::ScreenCastSupported(); }
bool BorderToggleSupported() { return platform::ScreenCastSupported() && platform::ScreenCastBorderToggle(); }
bool CursorToggleSupported() { return platform::ScreenCastSupported() && platform::ScreenCastCursorToggle(); }

std::unique_ptr<GraphicsCaptureSource> CreateGraphicsCaptureSource(uint64_t, RenderEngine&) {
    // Only reached when CaptureSupported() is true, which it is not on this platform yet.
    return nullptr;
}

void CloseSource(std::unique_ptr<GraphicsCaptureSource>& source) { source.reset(); }
