#pragma once
// The frame source of the desktop's screen-cast service. Not available yet on this platform: the checks
// report it unsupported, so the duplication source is always chosen.

#include <cstdint>
#include <memory>

#include "render/RenderTexture.h"

class RenderEngine;

class GraphicsCaptureSource {
public:
    // The newest frame when one arrived since the last call, else null.
    RenderTexture* NextFrame() { return nullptr; }
    std::unique_ptr<RenderTexture> frameCopy;
};

bool CaptureSupported();
// A started source, or null (always null while the service is not supported).
std::unique_ptr<GraphicsCaptureSource> CreateGraphicsCaptureSource(uint64_t monitor, RenderEngine& engine);
void CloseSource(std::unique_ptr<GraphicsCaptureSource>& source);
