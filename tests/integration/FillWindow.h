#pragma once
// A test window to put known colours on the screen, for tests that include Qt or the program's own
// headers, where Xlib's macros must not reach.

#include <cstdint>
#include <memory>

#include "platform/PixelRect.h"

class TestWindow;

class FillWindow {
public:
    explicit FillWindow(const platform::PixelRect& rect);
    ~FillWindow();

    bool shown() const;
    // A rectangle in screen pixels, drawn by the time this returns.
    void Fill(const platform::PixelRect& onScreen, uint32_t rgb);

private:
    std::unique_ptr<TestWindow> window_;
};
