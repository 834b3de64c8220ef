#pragma once
// Small value types of the magnifier's profile.

#include <cstdint>

struct IntPair {
    int32_t x = 0, y = 0;
    bool operator==(const IntPair&) const = default;
};

struct ColorF {
    float r = 0, g = 0, b = 0, a = 1;
    bool operator==(const ColorF&) const = default;
};
