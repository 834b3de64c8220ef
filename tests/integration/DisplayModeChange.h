#pragma once
// What a display-mode change does to the X screen, and its undoing: switches the first active CRTC
// off and sets the screen's size; destroying the object sets the old size and CRTC again.

#include <X11/extensions/Xrandr.h>

#include <string>
#include <vector>

#include "platform/x11/XConnection.h"

class DisplayModeChange {
public:
    DisplayModeChange(int width, int height);
    DisplayModeChange(const DisplayModeChange&) = delete;
    DisplayModeChange& operator=(const DisplayModeChange&) = delete;
    ~DisplayModeChange();

    // Empty when the change was made, else what failed.
    const std::string& error() const { return error_; }
    // Empty when the old state is back.
    std::string Restore();

private:
    platform::x11::XConnection connection_;
    std::string error_;
    bool changed_ = false;
    RRCrtc crtc_ = None;
    RRMode mode_ = None;
    int x_ = 0, y_ = 0;
    Rotation rotation_ = RR_Rotate_0;
    std::vector<RROutput> outputs_;
    int width_ = 0, height_ = 0, widthMm_ = 0, heightMm_ = 0;
};
