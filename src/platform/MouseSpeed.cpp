#include "platform/MouseSpeed.h"

#include <algorithm>
#include <cmath>

#include "log/IDebugPrint.h"
#include "platform/x11/XConnection.h"

namespace platform {
namespace {

x11::XConnection Connect() {
    x11::XConnection c = x11::XConnection::Open();
    if (!c) Log() << "[Magnifier]" << "[Error] " << "XOpenDisplay" << " : " << 0 << LogEnd;
    return c;
}

}  // namespace

int GetMouseSpeed() {
    x11::XConnection c = Connect();
    if (!c) return 0;
    int num = 0, denom = 0, threshold = 0;
    XGetPointerControl(c.display(), &num, &denom, &threshold);
    if (denom <= 0) return 10;
    const int speed = static_cast<int>(std::lround(10.0 * num / denom));
    return std::clamp(speed, 1, 20);
}

bool SetMouseSpeed(int speed) {
    x11::XConnection c = Connect();
    if (!c) return false;
    c.Name("XChangePointerControl");
    XChangePointerControl(c.display(), True, False, std::clamp(speed, 1, 20), 10, 0);
    if (const auto e = c.Sync()) {
        Log() << "[Magnifier]" << "[Error] " << e->call << " : " << e->code << LogEnd;
        return false;
    }
    return true;
}

}  // namespace platform
