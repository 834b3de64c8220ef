#include "platform/null/NullScreenCopy.h"

#include <utility>

#include "platform/PixelRectParts.h"

namespace platform {

NullScreenCopy::NullScreenCopy(const PixelRect& area, Picture picture)
    : area_(area),
      picture_(std::move(picture)),
      pixels_(static_cast<size_t>(area.width()) * area.height()),
      watched_{area} {}

void NullScreenCopy::Change(const PixelRect& rect) {
    ++frame_;
    const PixelRect r = rect.empty() ? area_ : rect.Intersect(area_);
    if (r.empty()) return;
    for (const PixelRect& hole : ignored_) {
        if (hole.Contains(r)) return;  // only the program's own windows changed
    }
    damage_.push_back(r);
}

IScreenCopy::Result NullScreenCopy::Grab() {
    if (lost_) return Result::AccessLost;
    if (failNext_) {
        failure_ = std::exchange(failNext_, {});
        copyAll_ = true;  // the next Grab copies again
        return Result::Failed;
    }
    std::vector<PixelRect> parts;
    if (firstCopy_) {
        parts = {area_};
    } else if (copyAll_) {
        parts = watched_;
    } else {
        parts = ChangedBoxes(damage_, watched_);  // as the X server's copy does
    }
    damage_.clear();
    if (parts.empty()) return Result::NoChange;
    changed_.clear();
    for (const PixelRect& p : parts) {
        for (int y = p.top; y < p.bottom; ++y) {
            for (int x = p.left; x < p.right; ++x) {
                pixels_[static_cast<size_t>(y - area_.top) * area_.width() + (x - area_.left)] =
                    picture_(x, y, frame_);
            }
        }
        copiedPixels_ += static_cast<long long>(p.width()) * p.height();
        changed_.push_back(
            {p.left - area_.left, p.top - area_.top, p.right - area_.left, p.bottom - area_.top});
    }
    firstCopy_ = copyAll_ = false;
    ++copies_;
    return Result::NewFrame;
}

CallFailure NullScreenCopy::TakeFailure() { return std::exchange(failure_, {}); }

void NullScreenCopy::SetIgnoredAreas(std::vector<PixelRect> areas) {
    if (areas == ignored_) return;
    ignored_ = std::move(areas);
    copyAll_ = true;  // what a window covered may have changed unseen
}

void NullScreenCopy::SetWatchedAreas(std::vector<PixelRect> areas) {
    if (areas == watchedAreas_) return;
    watched_ = WatchedParts(areas, area_);
    watchedAreas_ = std::move(areas);
    copyAll_ = true;
}

}  // namespace platform
