#pragma once
// The mouse gestures of editor mode: a left drag moves the view window, a right drag pans the source,
// the wheel zooms. One button holds the mouse at a time. UI thread only. Positions in client pixels.

#include <optional>

#include "magnifier/MagnifierTypes.h"
#include "platform/PixelRect.h"

class EditorInput {
public:
    // What a mouse event asks of the view.
    struct Effect {
        std::optional<IntPair> moveWindowTo;  // the client area's new top-left corner
        IntPair pan;                          // added to the source offset
    };

    // The magnification after a wheel turn: 12 % a notch of 120, within 100 .. 1000.
    static int Wheel(int magnification, int delta);

    // client: the view's client area on the desktop when the button goes down.
    void Press(bool left, int x, int y, const platform::PixelRect& client);
    Effect Move(bool left, bool right, int x, int y);
    Effect Release(bool left, int x, int y);
    void Reset() { dragging_ = panning_ = false; }

private:
    bool dragging_ = false, panning_ = false;
    int dragLeft_ = 0, dragTop_ = 0, dragStartX_ = 0, dragStartY_ = 0;
    int panLastX_ = 0, panLastY_ = 0;
};
