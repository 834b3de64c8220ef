#include "magnifier/EditorInput.h"

#include <algorithm>

int EditorInput::Wheel(int magnification, int delta) {
    return std::clamp(magnification + delta / 10, 100, 1000);
}

void EditorInput::Press(bool left, int x, int y, const platform::PixelRect& client) {
    if (dragging_ || panning_) return;  // one button holds the mouse at a time
    if (left) {
        dragLeft_ = client.left, dragTop_ = client.top;
        dragStartX_ = x, dragStartY_ = y;
        dragging_ = true;
    } else {
        panLastX_ = x, panLastY_ = y;
        panning_ = true;
    }
}

EditorInput::Effect EditorInput::Move(bool left, bool right, int x, int y) {
    Effect effect;
    if (left && dragging_) {
        // The window follows, so the cursor stays at the same client position after each step.
        dragLeft_ += x - dragStartX_;
        dragTop_ += y - dragStartY_;
        effect.moveWindowTo = IntPair{dragLeft_, dragTop_};
    }
    if (right && panning_) {
        effect.pan = {panLastX_ - x, panLastY_ - y};
        panLastX_ = x, panLastY_ = y;
    }
    return effect;
}

EditorInput::Effect EditorInput::Release(bool left, int x, int y) {
    const Effect effect = Move(left, !left, x, y);
    if (left)
        dragging_ = false;
    else
        panning_ = false;
    return effect;
}
