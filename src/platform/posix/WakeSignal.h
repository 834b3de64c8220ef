#pragma once
// A signal that one thread sleeps on while other threads wake it, together with one more descriptor to
// watch (the X connection that brings screen changes or key events). Notify from any thread; Wait from
// one thread at a time.

#include <atomic>

#include "platform/CallFailure.h"

namespace platform {

class WakeSignal {
public:
    enum class Woken { Signal, Descriptor, Timeout };

    // Without a descriptor of its own (failure() says why) a Wait sleeps its whole timeout unless the
    // other descriptor wakes it: slower to wake, never lost.
    WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;
    ~WakeSignal();

    void Notify();
    // Sleeps until Notify (taken: one Notify ends one Wait, however often it was called meanwhile), fd
    // becomes readable (fd < 0: not watched), or timeoutMs passes. A signal given before the Wait began
    // ends it at once. A failing poll is reported once in failure() and counts as the timeout.
    Woken Wait(int fd, int timeoutMs);
    const CallFailure& failure() const { return failure_; }
    // The failure since the last call, once.
    CallFailure TakeFailure();

private:
    void Drain();

    int fd_ = -1;  // eventfd
    std::atomic<bool> pending_{
        false};  // a Notify not yet taken (what the eventfd carries when there is none)
    CallFailure failure_;
    bool failureTaken_ = false;
};

}  // namespace platform
