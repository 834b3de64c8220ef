#pragma once
// GoogleTest prints rectangles as (left, top)-(right, bottom).

#include <ostream>

#include "platform/PixelRect.h"

namespace platform {
inline void PrintTo(const PixelRect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}
}  // namespace platform
