#include "platform/x11/ShmImage.h"

#include <X11/Xutil.h>

#include <utility>

namespace platform::x11 {

ShmImage::ShmImage(ShmImage&& other) noexcept
    : display_(std::exchange(other.display_, nullptr)),
      image_(std::exchange(other.image_, nullptr)),
      info_(std::move(other.info_)),
      segment_(std::move(other.segment_)),
      attached_(std::exchange(other.attached_, false)) {}

ShmImage& ShmImage::operator=(ShmImage&& other) noexcept {
    if (this != &other) {
        Release();
        display_ = std::exchange(other.display_, nullptr);
        image_ = std::exchange(other.image_, nullptr);
        info_ = std::move(other.info_);
        segment_ = std::move(other.segment_);
        attached_ = std::exchange(other.attached_, false);
    }
    return *this;
}

ShmImage::~ShmImage() { Release(); }

ShmImage ShmImage::Create(XConnection& connection, Visual* visual, unsigned depth, int width, int height,
                          std::string* failedCall, int* code) {
    ShmImage s;
    s.display_ = connection.display();
    s.info_ = std::make_unique<XShmSegmentInfo>();
    s.image_ = XShmCreateImage(s.display_, visual, depth, ZPixmap, nullptr, s.info_.get(),
                               static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (s.image_ == nullptr) {
        *failedCall = "XShmCreateImage";
        *code = 0;
        return ShmImage();
    }
    const char* call = "";
    int error = 0;
    s.segment_ = ShmSegment::Create(
        static_cast<size_t>(s.image_->bytes_per_line) * static_cast<size_t>(height), &call, &error);
    if (!s.segment_) {
        *failedCall = call;
        *code = error;
        return ShmImage();
    }
    s.info_->shmid = s.segment_.id();
    s.info_->shmaddr = s.segment_.address();
    s.info_->readOnly = False;
    s.image_->data = s.segment_.address();

    connection.Name("XShmAttach");
    XShmAttach(s.display_, s.info_.get());
    if (auto e = connection.Sync()) {
        *failedCall = e->call;
        *code = e->code;
        return ShmImage();
    }
    s.attached_ = true;
    // The server has its own mapping now; the segment goes away with the last detach.
    if (const int e = s.segment_.Remove(); e != 0) {
        *failedCall = "shmctl";
        *code = e;
        return ShmImage();
    }
    return s;
}

void ShmImage::Release() {
    if (image_ != nullptr) {
        if (attached_) XShmDetach(display_, info_.get());
        image_->data = nullptr;  // the segment's memory, unmapped by the segment itself
        XDestroyImage(image_);
    }
    display_ = nullptr;
    image_ = nullptr;
    attached_ = false;
    segment_ = ShmSegment();
    info_.reset();
}

}  // namespace platform::x11
