#pragma once
// The displays of the X screen as RandR reports them, and the window facts the magnifier reads once per
// frame. Geometry is in physical pixels of the virtual desktop. Failures are logged; the results are
// then empty.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/PixelRect.h"

namespace platform {

struct MonitorInfo {
    uint64_t handle = 0;  // the monitor's name atom: stable for the X server's life
    PixelRect bounds;
    // The RandR name of its first output (HDMI-1); the monitor's own name when it has none.
    std::string deviceName;
};

struct OutputInfo {
    std::string name;       // HDMI-1
    bool attached = false;  // connected and driven by a CRTC
    PixelRect bounds;       // the CRTC's rectangle; empty when not attached
};

// The active monitors, in the order RandR reports them. Any thread: opens its own short connection.
std::vector<MonitorInfo> EnumerateMonitors();
// Every RandR output of the screen. Any thread: opens its own short connection.
std::vector<OutputInfo> EnumerateOutputs();

// The window in _NET_ACTIVE_WINDOW of the root window; 0 when it is unset or cannot be read.
// Any thread: each calling thread keeps a connection of its own until it ends.
uint64_t ActiveWindow();
// The window's outer rectangle (border included) widened by its _NET_FRAME_EXTENTS; empty when the
// window does not exist. Threads as for ActiveWindow.
PixelRect WindowFrameRect(uint64_t windowId);

}  // namespace platform
