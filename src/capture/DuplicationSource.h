#pragma once
// The frame source that copies the source display from the X server (shared-memory images) and keeps
// the newest image in a texture. A still screen costs no copy. Render thread, under renderLock.

#include <memory>
#include <vector>

#include "platform/PixelRect.h"
#include "render/RenderTexture.h"

namespace platform {
class ScreenGrabber;
}
class RenderEngine;

class DuplicationSource {
public:
    // Throws HRError when the display cannot be copied, std::runtime_error("Invalid monitor handle") for
    // a monitor that is not in the monitor list.
    DuplicationSource(RenderEngine& engine, uint64_t monitor);
    DuplicationSource(const DuplicationSource&) = delete;
    DuplicationSource& operator=(const DuplicationSource&) = delete;
    ~DuplicationSource();

    // Brings frameCopy up to date: false when the frame must be skipped (the display's mode changed:
    // the source must be made again), true otherwise; frameCopy may still be empty.
    bool UpdateFrame();
    // The program's own windows, on the desktop: changes only inside them are no new frame, and a new
    // frame leaves the copy under them as it was, so the view never enlarges itself.
    void SetIgnoredAreas(std::vector<platform::PixelRect> areas);

    // The parts of a width x height frame outside the given rectangles (frame coordinates), as bands.
    static std::vector<platform::PixelRect> PartsOutside(int width, int height,
                                                         const std::vector<platform::PixelRect>& holes);

    RenderEngine& engine;
    std::unique_ptr<RenderTexture> frameCopy;

private:
    std::unique_ptr<platform::ScreenGrabber> duplication_;
    platform::PixelRect bounds_{};               // the monitor on the desktop
    std::vector<platform::PixelRect> ignored_;  // desktop coordinates
};

// Frees a source (null is accepted) and sets the pointer to null.
void ReleaseSource(std::unique_ptr<DuplicationSource>& source);
