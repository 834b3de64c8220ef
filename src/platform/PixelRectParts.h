#pragma once
// The parts of a rectangle outside a list of holes, as horizontal bands: every pixel of the rectangle
// outside the holes lies in exactly one part.

#include <vector>

#include "platform/PixelRect.h"

namespace platform {

// width x height from (0, 0); holes in the same coordinates, clipped to it.
std::vector<PixelRect> PartsOutside(int width, int height, const std::vector<PixelRect>& holes);

}  // namespace platform
