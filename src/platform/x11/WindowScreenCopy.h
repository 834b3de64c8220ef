#pragma once
// The screen copy that leaves out the program's own windows: the source rectangle as the screen shows
// it, except under the program's windows, where it is built from the contents of the other top-level
// windows in stacking order (Composite extension). Where no compositing manager runs, the root's
// children are redirected automatically while this copy lives. XDamage on the root and on the windows
// under the program's own says when anything changed; only the watched parts are copied again. One
// thread at a time.

#include <memory>

#include "platform/IScreenCopy.h"

namespace platform {

class WindowScreenCopy final : public IScreenCopy {
public:
    // area: in pixels of the virtual desktop, inside the screen. Null on failure, with the failing call
    // (XCompositeQueryExtension when the server has no Composite extension).
    static std::unique_ptr<WindowScreenCopy> Create(const PixelRect& area, CallFailure* failure);
    WindowScreenCopy(const WindowScreenCopy&) = delete;
    WindowScreenCopy& operator=(const WindowScreenCopy&) = delete;
    ~WindowScreenCopy() override;

    Result Grab() override;
    CallFailure TakeFailure() override;
    void SetIgnoredAreas(std::vector<PixelRect> areas) override;
    void SetOwnWindows(std::vector<uint64_t> ids) override;
    void SetWatchedAreas(std::vector<PixelRect> areas) override;
    const std::vector<PixelRect>& changedParts() const override;
    int EventFd() const override;
    bool ReadyToWait() override;
    bool SeesUnderOwnWindows() const override { return true; }
    const PixelRect& area() const override;
    const uint8_t* pixels() const override;
    int stride() const override;

    struct Impl;
    explicit WindowScreenCopy(std::unique_ptr<Impl> impl);

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
