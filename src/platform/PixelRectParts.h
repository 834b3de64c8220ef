#pragma once
// The parts of a rectangle outside a list of holes, as horizontal bands: every pixel of the rectangle
// outside the holes lies in exactly one part. And the parts of an image that a rectangle reads when its
// coordinates wrap around the image's edges.

#include <vector>

#include "platform/PixelRect.h"

namespace platform {

// width x height from (0, 0); holes in the same coordinates, clipped to it.
std::vector<PixelRect> PartsOutside(int width, int height, const std::vector<PixelRect>& holes);
// The parts of within outside the holes, all in the same coordinates.
std::vector<PixelRect> PartsOutside(const PixelRect& within, const std::vector<PixelRect>& holes);

// The pixels of a width x height image that rect covers when its coordinates wrap around the image's
// edges, as a repeating texture reads them: rect may lie partly or wholly outside; at most four parts,
// none when the image or rect is empty.
std::vector<PixelRect> WrappedParts(const PixelRect& rect, int width, int height);

// The watched parts of an area: each of areas clipped to it, those left empty dropped; the whole area
// when areas is empty.
std::vector<PixelRect> WatchedParts(const std::vector<PixelRect>& areas, const PixelRect& area);
// For each part, the bounding box of what of changed lies in it; parts where nothing changed are left
// out. What a screen copy copies again after a change.
std::vector<PixelRect> ChangedBoxes(const std::vector<PixelRect>& changed,
                                    const std::vector<PixelRect>& parts);

}  // namespace platform
