#pragma once
// What this desktop offers the program, where the answer decides between two ways of doing a thing.

namespace platform {

// The screen-cast portal as a frame source (not built yet: false).
bool ScreenCastSupported();
bool ScreenCastBorderToggle();
bool ScreenCastCursorToggle();
// Keeping a window out of screen copies: X11 has no such thing.
bool ExcludeFromCaptureSupported();

}  // namespace platform
