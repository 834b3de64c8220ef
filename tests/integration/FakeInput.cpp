#include "FakeInput.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

FakeInput::FakeInput() : display_(XOpenDisplay(nullptr)) {}
FakeInput::~FakeInput() {
    if (display_ != nullptr) XCloseDisplay(static_cast<Display*>(display_));
}
void FakeInput::MoveTo(int x, int y) {
    XTestFakeMotionEvent(static_cast<Display*>(display_), -1, x, y, 0);
    XFlush(static_cast<Display*>(display_));
}
void FakeInput::Button(unsigned button, bool down) {
    XTestFakeButtonEvent(static_cast<Display*>(display_), button, down ? True : False, 0);
    XFlush(static_cast<Display*>(display_));
}
