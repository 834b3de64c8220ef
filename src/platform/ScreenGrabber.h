#pragma once
// Copies one rectangle of the screen from the X server into shared memory, and only when something
// inside it has changed since the last copy. It has its own X connection.
// Thread rule: one thread at a time, the render thread in practice; handing it to another thread
// (to destroy it after the render thread has ended) needs no more than that ordering.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/PixelRect.h"

namespace platform {

class ScreenGrabber {
public:
    enum class Result {
        NewFrame,    // pixels() holds a new copy
        NoChange,    // nothing outside the ignored areas changed; pixels() holds the previous copy
        AccessLost,  // the screen configuration changed; this grabber never copies again
        Failed,      // this copy failed (logged); the next Grab copies again
    };

    // area: in pixels of the virtual desktop, inside the screen. Returns null on failure (logged), with
    // the failing call's name and its X error code or errno (0 where the call has none); either pointer
    // may be null.
    static std::unique_ptr<ScreenGrabber> Create(const PixelRect& area, std::string* failedCall,
                                                 int* errorCode);
    ScreenGrabber(const ScreenGrabber&) = delete;
    ScreenGrabber& operator=(const ScreenGrabber&) = delete;
    ~ScreenGrabber();

    // Never waits for the screen to change. The first Grab after Create copies whatever happened.
    Result Grab();

    // The program's own windows, in pixels of the virtual desktop: changes only inside them are no new
    // frame. Replaces the previous list; a different list makes the next Grab copy, since what a window
    // covered may have changed unseen.
    void SetIgnoredAreas(std::vector<PixelRect> areas);

    const PixelRect& area() const;
    // The newest copy: height() rows of stride() bytes, 4 bytes a pixel in the order B, G, R, X (the
    // GL_BGRA / GL_UNSIGNED_INT_8_8_8_8_REV layout). Rewritten in place only by a Grab that gives
    // NewFrame; valid while the grabber lives.
    const uint8_t* pixels() const;
    int stride() const;
    int width() const;
    int height() const;
    // The fourth byte is undefined: treat the image as opaque.
    bool hasAlpha() const { return false; }

private:
    struct Impl;
    explicit ScreenGrabber(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
