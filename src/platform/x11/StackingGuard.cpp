#include "platform/x11/StackingGuard.h"

#include <QSocketNotifier>
#include <mutex>

#include "platform/x11/XConnection.h"

namespace platform {
namespace {

// The windows the guards of this process keep on top.
std::mutex gOwnLock;
std::set<uint64_t>& OwnWindows() {
    static std::set<uint64_t> windows;  // guarded by gOwnLock
    return windows;
}

bool IsOwn(uint64_t id) {
    std::lock_guard lock(gOwnLock);
    return OwnWindows().count(id) != 0;
}

}  // namespace

StackingGuard::StackingGuard(uint64_t window, std::function<void()> keptUnder)
    : window_(window),
      keptUnder_(std::move(keptUnder)),
      connection_(std::make_unique<x11::XConnection>(x11::XConnection::Open())) {
    {
        std::lock_guard lock(gOwnLock);
        OwnWindows().insert(window_);
    }
    if (!*connection_) return;  // the window still shows; it is only not raised again
    XSelectInput(connection_->display(), connection_->root(), SubstructureNotifyMask);
    XFlush(connection_->display());
    notifier_ =
        std::make_unique<QSocketNotifier>(ConnectionNumber(connection_->display()), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &StackingGuard::OnEvents);
}

StackingGuard::~StackingGuard() {
    std::lock_guard lock(gOwnLock);
    OwnWindows().erase(window_);
}

void StackingGuard::SetActive(bool active) {
    active_ = active;
    if (active) {
        recent_.clear();
        toldKeptUnder_ = false;
    }
}

bool StackingGuard::Covered() {
    Display* d = connection_->display();
    Window root = None, parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    connection_->Name("XQueryTree");
    if (!XQueryTree(d, connection_->root(), &root, &parent, &children, &count)) return false;
    std::unique_ptr<Window, decltype(&XFree)> owned(children, XFree);
    // Bottom to top: is there a mapped window of another program above ours?
    bool seenOurs = false;
    for (unsigned i = 0; i < count; ++i) {
        const uint64_t id = children[i];
        if (id == window_) {
            seenOurs = true;
            continue;
        }
        if (!seenOurs || IsOwn(id)) continue;
        XWindowAttributes a;
        connection_->Name("XGetWindowAttributes");
        if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable) return true;
    }
    connection_->TakeError();  // a window that went meanwhile is no cover
    return false;
}

bool StackingGuard::RaiseIfCovered() {
    if (!active_ || !*connection_ || !Covered()) return false;
    const auto now = std::chrono::steady_clock::now();
    while (!recent_.empty() && now - recent_.front() > std::chrono::seconds(1)) recent_.pop_front();
    if (static_cast<int>(recent_.size()) >= kRaisesPerSecond) {
        if (!toldKeptUnder_ && keptUnder_) keptUnder_();
        toldKeptUnder_ = true;
        return false;
    }
    recent_.push_back(now);
    connection_->Name("XRaiseWindow");
    XRaiseWindow(connection_->display(), static_cast<Window>(window_));
    XFlush(connection_->display());
    ++raises_;
    return true;
}

void StackingGuard::OnEvents() {
    Display* d = connection_->display();
    // Replies read meanwhile may have queued more events: handle until the queue stays empty.
    for (int round = 0; round < 8 && XPending(d) > 0; ++round) HandleQueued();
}

void StackingGuard::HandleQueued() {
    Display* d = connection_->display();
    bool restacked = false;
    while (XPending(d) > 0) {
        XEvent e;
        XNextEvent(d, &e);
        switch (e.type) {
            case MapNotify:
                restacked |= !IsOwn(e.xmap.window);
                break;
            case ConfigureNotify:
                restacked |= !IsOwn(e.xconfigure.window);
                break;
            case CirculateNotify:
                restacked |= !IsOwn(e.xcirculate.window);
                break;
            case ReparentNotify:
                restacked |= !IsOwn(e.xreparent.window);
                break;
            default:
                break;
        }
    }
    connection_->TakeError();
    if (restacked) RaiseIfCovered();
}

}  // namespace platform
