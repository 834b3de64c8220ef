#pragma once
// The magnifier's geometric rules as plain arithmetic: where the view goes on its display, how a moved
// view is read back, which rectangle of the source display a frame reads, how much the view fades under
// the main window, and the shape the view is cut to where alpha is not blended.

#include <cstdint>
#include <vector>

#include "magnifier/MagnifierTypes.h"
#include "platform/PixelRect.h"

class ViewGeometry {
public:
    // The enlargement in use: a magnification of 0 or below (a hand-edited file) counts as 100.
    static int EffectiveMagnification(int magnification) { return magnification > 0 ? magnification : 100; }

    // The view on its display from the offset of its centre and its size (thousandths of a percent).
    static platform::PixelRect ViewRect(const platform::PixelRect& display, IntPair targetOffset,
                                        IntPair targetSize);

    // A view rectangle read back into offset and size on the display that holds it.
    struct Placement {
        IntPair offset, size;
    };
    static Placement PlacementOf(const platform::PixelRect& display, const platform::PixelRect& view);

    // The part of the source display one frame reads, in its pixels, (0, 0) at its top-left corner.
    static platform::PixelRect SourceRect(const platform::PixelRect& sourceDisplay, IntPair sourceOffset,
                                          int magnification, int viewWidth, int viewHeight);

    // The layer alpha while the main window covers part of the view: 255 less the covered share of the
    // main window.
    static uint8_t OverlapAlpha(const platform::PixelRect& mainWindow, const platform::PixelRect& view);

    // The parts of a width x height view that show where alpha is not blended (client pixels); empty
    // for the whole view. A mask with nothing to show gives one pixel, since an empty list shows all.
    static std::vector<platform::PixelRect> MaskShape(int width, int height, int maskType, float maskDist,
                                                      float transitionDist);
};
