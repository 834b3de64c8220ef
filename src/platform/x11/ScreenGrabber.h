#pragma once
// The screen copy of the X server: one rectangle of the root window copied through shared memory
// (MIT-SHM), and only where XDamage reports a change inside the watched parts. It has its own X
// connection.
// Thread rule: one thread at a time, the render thread in practice; handing it to another thread
// (to destroy it after the render thread has ended) needs no more than that ordering.

#include <memory>

#include "platform/IScreenCopy.h"

namespace platform {

class ScreenGrabber final : public IScreenCopy {
public:
    using Result = IScreenCopy::Result;

    // area: in pixels of the virtual desktop, inside the screen. Null on failure, with the failing call's
    // name and its X error code or errno (0 where the call has none) in failure, if given.
    static std::unique_ptr<ScreenGrabber> Create(const PixelRect& area, CallFailure* failure);
    ScreenGrabber(const ScreenGrabber&) = delete;
    ScreenGrabber& operator=(const ScreenGrabber&) = delete;
    ~ScreenGrabber() override;

    Result Grab() override;
    CallFailure TakeFailure() override;
    void SetIgnoredAreas(std::vector<PixelRect> areas) override;
    void SetWatchedAreas(std::vector<PixelRect> areas) override;
    const std::vector<PixelRect>& changedParts() const override;
    int EventFd() const override;
    bool ReadyToWait() override;
    CallFailure FallbackReason() const override { return fallbackReason_; }
    void SetFallbackReason(CallFailure why) { fallbackReason_ = std::move(why); }
    const PixelRect& area() const override;
    const uint8_t* pixels() const override;
    int stride() const override;

private:
    struct Impl;
    explicit ScreenGrabber(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> impl_;
    CallFailure fallbackReason_;
};

}  // namespace platform
