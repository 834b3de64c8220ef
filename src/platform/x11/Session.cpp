#include "platform/x11/Session.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

namespace platform {

void PrepareX11Session() {
    XInitThreads();
    setenv("QT_QPA_PLATFORM", "xcb", 1);
}

bool IsWaylandSession() {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    if (type != nullptr && std::strcmp(type, "wayland") == 0) return true;
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    return wl != nullptr && wl[0] != '\0';
}

std::string DisplayName() {
    const char* d = std::getenv("DISPLAY");
    return d != nullptr ? d : "";
}

std::string CommandLineText(int argc, char** argv) {
    std::string out;
    for (int i = 0; i < argc; ++i) {
        if (i > 0) out.push_back(' ');
        const std::string a = argv[i] != nullptr ? argv[i] : "";
        if (a.empty() || a.find_first_of(" \t") != std::string::npos) {
            out += '"' + a + '"';
        } else {
            out += a;
        }
    }
    return out;
}

}  // namespace platform
