#include "platform/NativeWindowGeometry.h"

#include <QWindow>

#include "platform/Monitors.h"

namespace platform {

// On the xcb platform a window's id is its X window.
NativeWindowGeometry::NativeWindowGeometry(QWindow* window)
    : id_(window != nullptr ? static_cast<uint64_t>(window->winId()) : 0) {}

PixelRect NativeWindowGeometry::WindowRect() const { return WindowFrameRect(id_); }

}  // namespace platform
