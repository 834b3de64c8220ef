#pragma once
// The pointer acceleration as the X server keeps it: numerator / denominator above threshold pixels.

namespace platform {

struct PointerAcceleration {
    int numerator = 1, denominator = 1, threshold = 0;
    friend bool operator==(const PointerAcceleration&, const PointerAcceleration&) = default;
};

}  // namespace platform
