#pragma once
// A window of the magnifier (the view, the help panel) as the magnifier's logic drives it. The X11
// implementation is a frameless, topmost, click-through tool window; tests use fakes.
// Geometry is in physical pixels of the virtual desktop. UI thread only, unless stated.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/CallFailure.h"
#include "platform/PixelRect.h"

class QSurface;

namespace platform {

enum class MouseButton { Left, Right };

// How often a second an overlay window is raised again at most when other windows come above it.
inline constexpr int kRaisesPerSecond = 5;

// Reports of what happened to an overlay window, on the UI thread. Positions in client pixels.
struct OverlayEvents {
    std::function<void()> moved;           // moved or resized
    std::function<void(int delta)> wheel;  // 120 a notch, positive away from the user
    std::function<void(MouseButton, int x, int y)> pressed;
    std::function<void(bool left, bool right, int x, int y)> movedMouse;
    std::function<void(MouseButton, int x, int y)> released;
    std::function<void(int width, int height)> displayChanged;
    // Another window keeps coming above the view faster than it is raised again (told once a showing).
    std::function<void()> keptUnder;
};

// What the magnifier reads of any window: where it is and which it is.
class IWindowGeometry {
public:
    virtual ~IWindowGeometry() = default;
    // The whole window, frame included.
    virtual PixelRect WindowRect() const = 0;
    // The X window id, to compare with the active window; 0 before it exists.
    virtual uint64_t NativeId() const = 0;
    // The window that stands on the desktop for it: the window manager's frame, if it has one.
    virtual uint64_t TopLevelId() const { return NativeId(); }
    // Why the last WindowRect came back empty, once; nothing for windows that cannot fail.
    virtual CallFailure TakeFailure() const { return {}; }
};

class IOverlayWindow : public IWindowGeometry {
public:
    // Moves and sizes the window, keeping it above others, without taking the focus; shows it too
    // when show is set.
    virtual void SetGeometry(const PixelRect& rect, bool show) = 0;
    // Moves the client area's top-left corner (the window's, while unframed), keeping the size.
    virtual void MoveTo(int left, int top, bool show) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool IsShown() const = 0;
    // The client area alone.
    virtual PixelRect ClientRect() const = 0;
    // The surface the render thread draws the window's content into; none for windows without one.
    virtual QSurface* Surface() const { return nullptr; }
    // Framed for editing (the window manager's frame and mouse input) or not; the client area stays.
    virtual void SetFramed(bool) {}
    // Only these parts, in client pixels, show (all of it when empty). Any thread.
    virtual void SetShape(std::vector<PixelRect>) {}
    // Any thread: shows the window on the UI thread, if stillWanted says so then.
    virtual void ShowLater(std::function<bool()> stillWanted) {
        if (stillWanted()) Show();
    }
};

}  // namespace platform
