#include "platform/MouseSpeed.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>

#include "log/IDebugPrint.h"

namespace platform {
namespace {

struct Connection {
    Display* d = XOpenDisplay(nullptr);
    ~Connection() {
        if (d != nullptr) XCloseDisplay(d);
    }
};

}  // namespace

int GetMouseSpeed() {
    Connection c;
    if (c.d == nullptr) {
        Log() << "[Magnifier]" << "[Error] " << "XOpenDisplay" << " : " << 0 << LogEnd;
        return 0;
    }
    int num = 0, denom = 0, threshold = 0;
    XGetPointerControl(c.d, &num, &denom, &threshold);
    if (denom <= 0) return 10;
    const int speed = static_cast<int>(std::lround(10.0 * num / denom));
    return std::clamp(speed, 1, 20);
}

bool SetMouseSpeed(int speed) {
    Connection c;
    if (c.d == nullptr) {
        Log() << "[Magnifier]" << "[Error] " << "XOpenDisplay" << " : " << 0 << LogEnd;
        return false;
    }
    XChangePointerControl(c.d, True, False, std::clamp(speed, 1, 20), 10, 0);
    XSync(c.d, False);
    return true;
}

}  // namespace platform
