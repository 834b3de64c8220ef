#pragma once
// A rectangle in physical pixels of the virtual desktop: left and top inside, right and bottom outside.

#include <algorithm>

namespace platform {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool empty() const { return right <= left || bottom <= top; }

    // True when every edge of other lies on or inside this rectangle's edges.
    constexpr bool Contains(const PixelRect& other) const {
        return other.left >= left && other.top >= top && other.right <= right && other.bottom <= bottom;
    }

    // The common part; {0, 0, 0, 0} when the two share no pixel (touching edges share none).
    constexpr PixelRect Intersect(const PixelRect& other) const {
        const PixelRect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                          std::min(bottom, other.bottom)};
        return r.empty() ? PixelRect{} : r;
    }

    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace platform
