#pragma once
// A ZPixmap image in shared memory that the X server writes into (XShmGetImage), attached to one
// connection, which must outlive it. The segment is removed from the system as soon as the server has
// attached it. Thread rule: that of its connection.

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <memory>
#include <string>

#include "platform/x11/ShmSegment.h"
#include "platform/x11/XConnection.h"

namespace platform::x11 {

class ShmImage {
public:
    ShmImage() = default;
    ShmImage(ShmImage&& other) noexcept;
    ShmImage& operator=(ShmImage&& other) noexcept;
    ShmImage(const ShmImage&) = delete;
    ShmImage& operator=(const ShmImage&) = delete;
    ~ShmImage();

    // An empty image on failure, with the failing call's name and its X error code or errno.
    static ShmImage Create(XConnection& connection, Visual* visual, unsigned depth, int width, int height,
                           std::string* failedCall, int* code);

    explicit operator bool() const { return image_ != nullptr; }
    XImage* get() const { return image_; }

private:
    void Release();

    Display* display_ = nullptr;
    XImage* image_ = nullptr;
    std::unique_ptr<XShmSegmentInfo> info_;  // Xlib keeps its address in the image
    ShmSegment segment_;
    bool attached_ = false;
};

}  // namespace platform::x11
