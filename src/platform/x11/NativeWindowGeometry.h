#pragma once
// A top-level window of the program as the magnifier reads it: its X window id and its rectangle with
// the window manager's frame, in physical pixels. Made on the UI thread; read on any thread (each
// reader asks the X server over a connection of its own).

#include <cstdint>

#include "platform/OverlayWindow.h"

class QWindow;

namespace platform {

class NativeWindowGeometry final : public IWindowGeometry {
public:
    // Creates the window's X window if it has none yet; the window must keep that one while this
    // object is read.
    explicit NativeWindowGeometry(QWindow* window);

    PixelRect WindowRect() const override;
    uint64_t NativeId() const override { return id_; }
    uint64_t TopLevelId() const override;
    CallFailure TakeFailure() const override;

private:
    const uint64_t id_;
    // Per reading thread: each reader sees its own last failure.
    static thread_local CallFailure lastFailure_;
};

}  // namespace platform
