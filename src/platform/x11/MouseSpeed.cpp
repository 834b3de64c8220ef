#include "platform/x11/MouseSpeed.h"

#include <algorithm>
#include <cmath>

#include "platform/x11/XConnection.h"

namespace platform {

int GetMouseSpeed(CallFailure* failure) {
    x11::XConnection c = x11::XConnection::Open();
    if (!c) {
        if (failure != nullptr) *failure = {"XOpenDisplay", 0};
        return 0;
    }
    int num = 0, denom = 0, threshold = 0;
    XGetPointerControl(c.display(), &num, &denom, &threshold);
    if (denom <= 0) return 10;
    const int speed = static_cast<int>(std::lround(10.0 * num / denom));
    return std::clamp(speed, 1, 20);
}

bool SetMouseSpeed(int speed, CallFailure* failure) {
    x11::XConnection c = x11::XConnection::Open();
    if (!c) {
        if (failure != nullptr) *failure = {"XOpenDisplay", 0};
        return false;
    }
    c.Name("XChangePointerControl");
    XChangePointerControl(c.display(), True, False, std::clamp(speed, 1, 20), 10, 0);
    if (const auto e = c.Sync()) {
        if (failure != nullptr) *failure = {e->call, e->code};
        return false;
    }
    return true;
}

bool GetPointerAcceleration(int* numerator, int* denominator, int* threshold, CallFailure* failure) {
    x11::XConnection c = x11::XConnection::Open();
    if (!c) {
        if (failure != nullptr) *failure = {"XOpenDisplay", 0};
        return false;
    }
    c.Name("XGetPointerControl");
    XGetPointerControl(c.display(), numerator, denominator, threshold);
    if (const auto e = c.TakeError()) {
        if (failure != nullptr) *failure = {e->call, e->code};
        return false;
    }
    return true;
}

bool SetPointerAcceleration(int numerator, int denominator, int threshold, CallFailure* failure) {
    x11::XConnection c = x11::XConnection::Open();
    if (!c) {
        if (failure != nullptr) *failure = {"XOpenDisplay", 0};
        return false;
    }
    c.Name("XChangePointerControl");
    XChangePointerControl(c.display(), True, True, numerator, denominator, threshold);
    if (const auto e = c.Sync()) {
        if (failure != nullptr) *failure = {e->call, e->code};
        return false;
    }
    return true;
}

}  // namespace platform
