#pragma once
// Where the main window opens. Geometry in physical pixels of the virtual desktop.

#include <optional>
#include <string>

struct WindowPosition {
    int x = 0;
    int y = 0;
    bool operator==(const WindowPosition&) const = default;
};

// The top-left corner for a window of width x height from the stored "[x, y, w, h]": the stored corner,
// or the corner that centres the window on the first display when the stored x and y equal the third
// and fourth numbers (as in the default "[0, 0, 0, 0]"). Nothing when no display holds any part of the
// window there: the window manager then places it.
std::optional<WindowPosition> MainWindowPosition(const std::string& storedRect, int width, int height);
