#pragma once
// The frame source that copies the source display through the back end's screen copy and keeps the
// newest image in a texture of the display's size. Only what the view reads is watched, copied and
// uploaded, and only where it changed: a still screen costs no copy. Render thread only.

#include <memory>
#include <vector>

#include "log/LogFailure.h"
#include "platform/IScreenCopy.h"
#include "platform/PixelRect.h"
#include "render/RenderTexture.h"

class RenderEngine;

class DuplicationSource {
public:
    // What one look at the screen asks of the frame texture.
    struct Update {
        bool skip = false;                       // the source must be made again (access lost)
        bool whole = false;                      // the texture is (re)made at the copy's size
        std::vector<platform::PixelRect> parts;  // frame rectangles to upload from the copy
    };

    // Throws HRError when the display cannot be copied, std::runtime_error("Invalid monitor handle") for
    // a monitor that the desktop does not list.
    DuplicationSource(RenderEngine& engine, uint64_t monitor);
    DuplicationSource(const DuplicationSource&) = delete;
    DuplicationSource& operator=(const DuplicationSource&) = delete;
    ~DuplicationSource();

    // Brings frameCopy up to date: false when the frame must be skipped (the display's mode changed:
    // the source must be made again), true otherwise; frameCopy may still be empty.
    bool UpdateFrame();
    // Whether the last UpdateFrame brought anything new into frameCopy.
    bool changed() const { return changed_; }
    // Looks at the screen and says what the frame texture needs; textureWidth and textureHeight are its
    // present size (0 when there is none). A failed copy is logged once per failing stretch.
    Update NextUpdate(uint32_t textureWidth, uint32_t textureHeight);
    // The program's own windows, on the desktop: changes only inside them are no new frame. The copy
    // builds what lies under them from the other windows where it can; where it cannot (a copy of the
    // screen as shown), a new frame leaves the texture under them as it was, so the view never enlarges
    // itself.
    void SetIgnoredAreas(std::vector<platform::PixelRect> areas);
    void SetOwnWindows(std::vector<uint64_t> ids);
    // The rectangle of the frame that the view reads (frame coordinates, as the composition samples it:
    // it may reach past the edges, where the texture repeats). Only its pixels, and one around them for
    // the filtering, are kept up to date from now on; an empty one watches the whole display.
    void SetSourceRect(const platform::PixelRect& rect);

    // A descriptor that becomes readable when the screen may have changed (-1: none), and whether
    // sleeping on it is safe now.
    int EventFd() const;
    bool ReadyToWait();

    // The parts of a width x height frame outside the given rectangles (frame coordinates), as bands.
    static std::vector<platform::PixelRect> PartsOutside(int width, int height,
                                                         const std::vector<platform::PixelRect>& holes);

    RenderEngine& engine;
    std::unique_ptr<RenderTexture> frameCopy;

private:
    std::unique_ptr<platform::IScreenCopy> duplication_;
    platform::PixelRect bounds_{};              // the monitor on the desktop
    std::vector<platform::PixelRect> ignored_;  // desktop coordinates
    platform::PixelRect sourceRect_{};          // frame coordinates
    FailureStretch copyFailures_;
    bool accessLostLogged_ = false;
    bool changed_ = false;
};
