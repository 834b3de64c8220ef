#include "capture/GraphicsCaptureSource.h"

#include "platform/Backend.h"

bool CaptureSupported() { return platform::Backend().ScreenCastSupported(); }

std::unique_ptr<GraphicsCaptureSource> CreateGraphicsCaptureSource(uint64_t, RenderEngine&) {
    // Only reached when CaptureSupported() is true, which it is not on this platform yet.
    return nullptr;
}

void CloseSource(std::unique_ptr<GraphicsCaptureSource>& source) { source.reset(); }
