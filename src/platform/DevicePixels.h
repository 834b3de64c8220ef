#pragma once
// Qt's logical pixels and the screen's physical ones under a device pixel ratio (1 and above): one
// rule, rounding to the nearest, both ways, so that a logical position or size comes back unchanged
// through physical pixels, and a physical one that a logical value can make does too.

#include <cmath>

namespace platform {

inline int ToPhysical(double logical, double dpr) { return static_cast<int>(std::lround(logical * dpr)); }
inline int ToLogical(double physical, double dpr) { return static_cast<int>(std::lround(physical / dpr)); }

}  // namespace platform
