#pragma once
// The desktop session the program runs in.

#include <string>

namespace platform {

// Must run first in main(): makes Xlib safe for the program's several X connections and asks Qt for its
// X11 (xcb) platform.
void PrepareX11Session();

// True when the session is a Wayland one (XDG_SESSION_TYPE or WAYLAND_DISPLAY), where X11 capture sees
// only X11 clients.
bool IsWaylandSession();

// The X display name ($DISPLAY), empty when there is none.
std::string DisplayName();

// The command line as it was given, arguments joined by blanks (quoted where they hold blanks).
std::string CommandLineText(int argc, char** argv);

}  // namespace platform
