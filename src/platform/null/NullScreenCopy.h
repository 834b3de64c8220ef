#pragma once
// A screen copy of synthetic frames: the pixel at (x, y) of the desktop is what the picture function
// says for the current frame number. Tests move the frame on, change parts of it, fail a copy or lose
// access, and see what the frame source makes of it.

#include <functional>
#include <vector>

#include "platform/IScreenCopy.h"

namespace platform {

class NullScreenCopy final : public IScreenCopy {
public:
    // B, G, R, X of a desktop pixel in frame number frame.
    using Picture = std::function<uint32_t(int x, int y, int frame)>;

    NullScreenCopy(const PixelRect& area, Picture picture);

    // The screen changes inside rect (desktop pixels): the next Grab copies what of it lies in the
    // watched parts, unless the change lies wholly in the ignored areas. The whole area when rect is
    // empty.
    void Change(const PixelRect& rect = {});
    // The next Grab fails with this call and code.
    void FailNext(CallFailure failure) { failNext_ = std::move(failure); }
    // The screen configuration changes: every Grab from now on gives AccessLost.
    void LoseAccess() { lost_ = true; }
    int frame() const { return frame_; }
    int copies() const { return copies_; }
    // Pixels copied by all Grabs so far.
    long long copiedPixels() const { return copiedPixels_; }

    Result Grab() override;
    CallFailure TakeFailure() override;
    void SetIgnoredAreas(std::vector<PixelRect> areas) override;
    void SetWatchedAreas(std::vector<PixelRect> areas) override;
    const std::vector<PixelRect>& changedParts() const override { return changed_; }
    const PixelRect& area() const override { return area_; }
    const uint8_t* pixels() const override { return reinterpret_cast<const uint8_t*>(pixels_.data()); }
    int stride() const override { return area_.width() * 4; }

private:
    PixelRect area_;
    Picture picture_;
    std::vector<uint32_t> pixels_;
    std::vector<PixelRect> ignored_;
    std::vector<PixelRect> watchedAreas_;  // as given
    std::vector<PixelRect> watched_;       // clipped; the area when none given
    std::vector<PixelRect> damage_;        // since the last copy
    std::vector<PixelRect> changed_;       // area coordinates
    int frame_ = 0, copies_ = 0;
    long long copiedPixels_ = 0;
    bool firstCopy_ = true;
    bool copyAll_ = false;  // every watched part at the next Grab
    bool lost_ = false;
    CallFailure failNext_, failure_;
};

}  // namespace platform
