#pragma once
// The displays of the X screen as RandR reports them, and the window facts the magnifier reads once per
// frame. Geometry is in physical pixels of the virtual desktop. On failure the results are empty and
// the first failed call is handed back where the caller asks for it.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/CallFailure.h"
#include "platform/MonitorInfo.h"
#include "platform/PixelRect.h"

namespace platform {

// The active monitors, in the order RandR reports them. Any thread: opens its own short connection.
std::vector<MonitorInfo> EnumerateMonitors(CallFailure* failure = nullptr);
// Every RandR output of the screen. Any thread: opens its own short connection.
std::vector<OutputInfo> EnumerateOutputs(CallFailure* failure = nullptr);

// The window in _NET_ACTIVE_WINDOW of the root window; 0 when it is unset or cannot be read.
// Any thread: each calling thread keeps a connection of its own until it ends.
uint64_t ActiveWindow(CallFailure* failure = nullptr);
// The window's outer rectangle (border included) widened by its _NET_FRAME_EXTENTS; empty when the
// window does not exist. Threads as for ActiveWindow.
PixelRect WindowFrameRect(uint64_t windowId, CallFailure* failure = nullptr);
// The child of the root that holds the window (the window manager's frame, or the window itself);
// 0 when the window does not exist. Threads as for ActiveWindow.
uint64_t TopLevelWindow(uint64_t windowId, CallFailure* failure = nullptr);

}  // namespace platform
