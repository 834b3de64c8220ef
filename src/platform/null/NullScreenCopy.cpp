#include "platform/null/NullScreenCopy.h"

#include <utility>

namespace platform {

NullScreenCopy::NullScreenCopy(const PixelRect& area, Picture picture)
    : area_(area), picture_(std::move(picture)), pixels_(static_cast<size_t>(area.width()) * area.height()) {}

void NullScreenCopy::Change(const PixelRect& rect) {
    ++frame_;
    const PixelRect r = rect.empty() ? area_ : rect.Intersect(area_);
    if (r.empty()) return;
    for (const PixelRect& hole : ignored_) {
        if (hole.Contains(r)) return;  // only the program's own windows changed
    }
    changed_ = true;
}

IScreenCopy::Result NullScreenCopy::Grab() {
    if (lost_) return Result::AccessLost;
    if (failNext_) {
        failure_ = std::exchange(failNext_, {});
        changed_ = true;  // the next Grab copies again
        return Result::Failed;
    }
    if (!changed_) return Result::NoChange;
    for (int y = 0; y < area_.height(); ++y) {
        for (int x = 0; x < area_.width(); ++x) {
            pixels_[static_cast<size_t>(y) * area_.width() + x] =
                picture_(area_.left + x, area_.top + y, frame_);
        }
    }
    changed_ = false;
    ++copies_;
    return Result::NewFrame;
}

CallFailure NullScreenCopy::TakeFailure() { return std::exchange(failure_, {}); }

void NullScreenCopy::SetIgnoredAreas(std::vector<PixelRect> areas) {
    if (areas == ignored_) return;
    ignored_ = std::move(areas);
    changed_ = true;  // what a window covered may have changed unseen
}

}  // namespace platform
