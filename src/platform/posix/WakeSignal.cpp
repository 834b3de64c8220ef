#include "platform/posix/WakeSignal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <thread>
#include <utility>

namespace platform {

WakeSignal::WakeSignal() {
    fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd_ < 0) failure_ = {"eventfd", errno};
}

WakeSignal::~WakeSignal() {
    if (fd_ >= 0) close(fd_);
}

void WakeSignal::Notify() {
    pending_.store(true);
    if (fd_ < 0) return;
    const uint64_t one = 1;
    // EAGAIN means the counter is already set: the sleeper wakes anyway.
    [[maybe_unused]] const ssize_t n = write(fd_, &one, sizeof one);
}

void WakeSignal::Drain() {
    if (fd_ < 0) return;
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = read(fd_, &count, sizeof count);
}

WakeSignal::Woken WakeSignal::Wait(int fd, int timeoutMs) {
    if (pending_.exchange(false)) {
        Drain();
        return Woken::Signal;
    }
    pollfd fds[2] = {{fd_, POLLIN, 0}, {fd, POLLIN, 0}};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        // Rounded up: a sleep cut short by rounding down would come back again and again.
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const int r = poll(fds, 2, static_cast<int>(std::max<long long>(0, left.count())));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            if (!failure_) failure_ = {"poll", errno};
            // Never a busy loop: the caller's pace stays that of the timeout.
            std::this_thread::sleep_until(deadline);
            return Woken::Timeout;
        }
        break;
    }
    // Always emptied when readable: a write that came after the flag was taken would otherwise wake
    // every later poll at once.
    if (fds[0].revents != 0) Drain();
    if (pending_.exchange(false)) return Woken::Signal;
    if (fds[1].revents != 0) return Woken::Descriptor;
    return Woken::Timeout;
}

CallFailure WakeSignal::TakeFailure() {
    if (!failure_ || failureTaken_) return {};
    failureTaken_ = true;
    return failure_;
}

}  // namespace platform
