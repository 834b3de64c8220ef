#pragma once
// Keeps one of the program's windows above every other top-level window of the screen: it watches the
// root window's children (mapped, raised, restacked) over a connection of its own and raises the window
// again as soon as another one comes above it. At most kRaisesPerSecond raises a second, so two programs
// that both want the top do not fight; the first time the limit is met, keptUnder is told. UI thread.

#include <QObject>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <set>

#include "platform/OverlayWindow.h"

class QSocketNotifier;

namespace platform {
namespace x11 {
class XConnection;
}

class StackingGuard final : public QObject {
    Q_OBJECT
public:
    // The ids of every window this guard or another guard of the process keeps on top: none of them
    // counts as another program's window. keptUnder: called once when the limit stops a raise.
    StackingGuard(uint64_t window, std::function<void()> keptUnder);
    ~StackingGuard() override;

    // While active the window is kept on top (the window is shown); inactive, nothing is watched.
    void SetActive(bool active);
    // Raises the window now, if another window is above it (and the limit allows). True when it raised.
    bool RaiseIfCovered();
    int raises() const { return raises_; }

private:
    void OnEvents();
    void HandleQueued();
    bool Covered();

    uint64_t window_;
    std::function<void()> keptUnder_;
    std::unique_ptr<x11::XConnection> connection_;  // Xlib stays out of this header (moc)
    std::unique_ptr<QSocketNotifier> notifier_;
    bool active_ = false;
    bool toldKeptUnder_ = false;
    int raises_ = 0;
    std::deque<std::chrono::steady_clock::time_point> recent_;  // raises of the last second
};

}  // namespace platform
