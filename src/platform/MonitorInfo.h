#pragma once
// The displays as the desktop reports them. Geometry is in physical pixels of the virtual desktop.

#include <cstdint>
#include <string>

#include "platform/PixelRect.h"

namespace platform {

struct MonitorInfo {
    uint64_t handle = 0;  // the monitor's name atom: stable for the X server's life
    PixelRect bounds;
    // The RandR name of its first output (HDMI-1); the monitor's own name when it has none.
    std::string deviceName;
};

struct OutputInfo {
    std::string name;         // HDMI-1
    bool attached = false;    // connected and driven by a CRTC
    PixelRect bounds;         // the CRTC's rectangle; empty when not attached
    std::string monitorName;  // the connected monitor's own name from its EDID; empty when it has none
};

}  // namespace platform
