#include "platform/x11/NativeWindowGeometry.h"

#include <QWindow>
#include <utility>

#include "platform/x11/Monitors.h"

namespace platform {

// On the xcb platform a window's id is its X window.
NativeWindowGeometry::NativeWindowGeometry(QWindow* window)
    : id_(window != nullptr ? static_cast<uint64_t>(window->winId()) : 0) {}

thread_local CallFailure NativeWindowGeometry::lastFailure_;

PixelRect NativeWindowGeometry::WindowRect() const {
    CallFailure failure;
    const PixelRect r = WindowFrameRect(id_, &failure);
    if (failure) lastFailure_ = failure;
    return r;
}

uint64_t NativeWindowGeometry::TopLevelId() const {
    CallFailure failure;
    const uint64_t id = TopLevelWindow(id_, &failure);
    if (failure) lastFailure_ = failure;
    return id;
}

CallFailure NativeWindowGeometry::TakeFailure() const { return std::exchange(lastFailure_, {}); }

}  // namespace platform
