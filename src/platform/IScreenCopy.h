#pragma once
// A copy of one rectangle of the screen, taken only when something inside it has changed since the last
// copy. The frame source reads the magnifier's source rectangle through it; tests give it synthetic
// frames. One thread at a time.

#include <cstdint>
#include <vector>

#include "platform/CallFailure.h"
#include "platform/PixelRect.h"

namespace platform {

class IScreenCopy {
public:
    enum class Result {
        NewFrame,    // pixels() holds a new copy
        NoChange,    // nothing outside the ignored areas changed; pixels() holds the previous copy
        AccessLost,  // the screen configuration changed; this copy never copies again
        Failed,      // this copy failed (TakeFailure says why); the next Grab copies again
    };

    virtual ~IScreenCopy() = default;

    // Never waits for the screen to change. The first Grab copies whatever happened.
    virtual Result Grab() = 0;
    // Why the last Grab gave Failed.
    virtual CallFailure TakeFailure() = 0;

    // The program's own windows, in pixels of the virtual desktop: changes only inside them are no new
    // frame. Replaces the previous list; a different list makes the next Grab copy, since what a window
    // covered may have changed unseen.
    virtual void SetIgnoredAreas(std::vector<PixelRect> areas) = 0;

    // The parts of the area the caller reads, in pixels of the virtual desktop: only changes inside them
    // make a new frame, and only they are copied again. Empty, as at the start: the whole area. A
    // different list makes the next Grab copy all of its parts, since they may show what was never
    // copied. The first Grab copies the whole area whatever the list.
    virtual void SetWatchedAreas(std::vector<PixelRect> areas) = 0;
    // The parts of pixels() that the last NewFrame rewrote, in area coordinates (0, 0 at area().left,
    // area().top). Everything else holds what earlier copies left there.
    virtual const std::vector<PixelRect>& changedParts() const = 0;

    // A descriptor that becomes readable when the screen may have changed, so the caller can sleep
    // until then; -1 when the copy has none (the caller then looks again after a while).
    virtual int EventFd() const { return -1; }
    // Sends what the copy has asked for and tells whether sleeping on EventFd is safe: false when a
    // change has already been read from it and waits for the next Grab.
    virtual bool ReadyToWait() { return true; }

    // The program's own top-level windows (their X ids): left out of the copy where it can do so.
    virtual void SetOwnWindows(std::vector<uint64_t> /*ids*/) {}
    // True when a copy shows what lies under the program's own windows (built from the other windows);
    // false when it is the screen as shown, the program's windows included.
    virtual bool SeesUnderOwnWindows() const { return false; }
    // Set when this copy stands in for a better one that could not be had, and why.
    virtual CallFailure FallbackReason() const { return {}; }

    // The copied rectangle, in pixels of the virtual desktop.
    virtual const PixelRect& area() const = 0;
    // The newest copy: height() rows of stride() bytes, 4 bytes a pixel in the order B, G, R, X (the
    // fourth byte undefined: the image is opaque). Rewritten, in changedParts() only, by a Grab that
    // gives NewFrame.
    virtual const uint8_t* pixels() const = 0;
    virtual int stride() const = 0;
    int width() const { return area().width(); }
    int height() const { return area().height(); }
};

}  // namespace platform
