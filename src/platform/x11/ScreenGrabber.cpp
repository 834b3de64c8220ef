#include "platform/x11/ScreenGrabber.h"

#include <utility>
#include <vector>

#include "platform/x11/RootCopy.h"

namespace platform {

// Render thread only, like the grabber.
struct ScreenGrabber::Impl {
    x11::RootCopy root;
    CallFailure failure;  // of the last Grab that failed

    Result Fail(CallFailure f) {
        failure = std::move(f);
        root.CopyAllNext();
        return Result::Failed;
    }
};

ScreenGrabber::ScreenGrabber(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ScreenGrabber::~ScreenGrabber() = default;

std::unique_ptr<ScreenGrabber> ScreenGrabber::Create(const PixelRect& area, CallFailure* failure) {
    auto impl = std::make_unique<Impl>();
    CallFailure f;
    if (!impl->root.Init(area, &f)) {
        if (failure != nullptr) *failure = f;
        return nullptr;
    }
    return std::unique_ptr<ScreenGrabber>(new ScreenGrabber(std::move(impl)));
}

ScreenGrabber::Result ScreenGrabber::Grab() {
    Impl& g = *impl_;
    x11::XConnection& c = g.root.connection();
    if (g.root.lost()) return Result::AccessLost;
    // XPending reads what has arrived without waiting for the server.
    while (XPending(c.display()) > 0) {
        XEvent event;
        XNextEvent(c.display(), &event);
        g.root.HandleEvent(event);
    }
    if (g.root.lost()) return Result::AccessLost;
    // Errors of requests sent since the last grab (the ignored areas) come in with the events.
    if (const auto e = c.TakeError()) return g.Fail({e->call, e->code});

    const std::vector<PixelRect> parts = g.root.PartsToCopy(false);
    if (const auto e = c.TakeError()) return g.Fail({e->call, e->code});
    if (parts.empty()) return Result::NoChange;
    // The damage was taken first: whatever changes from here on makes the next frame.
    CallFailure f;
    for (const PixelRect& part : parts) {
        if (!g.root.Copy(part, {}, &f)) return g.Fail(std::move(f));
    }
    g.root.Copied(parts);
    return Result::NewFrame;
}

CallFailure ScreenGrabber::TakeFailure() { return std::exchange(impl_->failure, {}); }

void ScreenGrabber::SetIgnoredAreas(std::vector<PixelRect> areas) {
    impl_->root.SetIgnoredAreas(std::move(areas));
}
void ScreenGrabber::SetWatchedAreas(std::vector<PixelRect> areas) {
    impl_->root.SetWatchedAreas(std::move(areas));
}
const std::vector<PixelRect>& ScreenGrabber::changedParts() const { return impl_->root.changedParts(); }
int ScreenGrabber::EventFd() const { return impl_->root.EventFd(); }
bool ScreenGrabber::ReadyToWait() { return impl_->root.ReadyToWait(); }

const PixelRect& ScreenGrabber::area() const { return impl_->root.area(); }
const uint8_t* ScreenGrabber::pixels() const { return reinterpret_cast<const uint8_t*>(impl_->root.frame()); }
int ScreenGrabber::stride() const { return impl_->root.area().width() * 4; }

}  // namespace platform
