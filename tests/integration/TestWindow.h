#pragma once
// A window on the test's own X connection, placed without a window manager (override-redirect), to put
// known colours on the screen. Colours are 0xRRGGBB, drawn on the default 24-bit TrueColor visual.

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

#include "platform/PixelRect.h"
#include "platform/x11/XConnection.h"

class TestWindow {
public:
    // rect: the outer rectangle on the screen, border included.
    explicit TestWindow(const platform::PixelRect& rect, unsigned border = 0);
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow();

    // True once the window is on the screen (its first Expose came).
    bool shown() const { return shown_; }
    Window id() const { return window_; }
    Display* display() const { return connection_.display(); }
    platform::x11::XConnection& connection() { return connection_; }

    // Fills a rectangle given in screen pixels and waits until the server has drawn it.
    void Fill(const platform::PixelRect& onScreen, uint32_t rgb);
    // Replaces a 32-bit property of this window.
    void SetLongs(const char* property, Atom type, const std::vector<long>& values);
    void Destroy();

    // True when pixel values of the default visual are 0xRRGGBB, as the colours here assume.
    static bool RgbVisual(Display* display);

private:
    platform::x11::XConnection connection_;
    platform::PixelRect rect_;
    unsigned border_ = 0;
    Window window_ = None;
    GC gc_ = nullptr;
    bool shown_ = false;
};
