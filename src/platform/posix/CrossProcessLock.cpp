#include "platform/posix/CrossProcessLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace platform {

CrossProcessLock::~CrossProcessLock() { Close(); }

int CrossProcessLock::Open(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return errno;
    // Under the turn, like every change of the descriptor.
    if (!TakeThreadTurn(std::chrono::steady_clock::now() + std::chrono::milliseconds(kCloseWaitMs))) {
        ::close(fd);
        return EBUSY;
    }
    fd_ = fd;
    GiveThreadTurn();
    return 0;
}

void CrossProcessLock::Close() {
    if (fd_.load() < 0) return;
    // A writer stuck past the wait keeps the descriptor: left open rather than closed under it.
    if (!TakeThreadTurn(std::chrono::steady_clock::now() + std::chrono::milliseconds(kCloseWaitMs))) return;
    const int fd = fd_.exchange(-1);
    if (fd >= 0) ::close(fd);
    GiveThreadTurn();
}

bool CrossProcessLock::TakeThreadTurn(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(turnLock_);
    if (!turnFree_.wait_until(lock, deadline, [this] { return !turnTaken_; })) return false;
    turnTaken_ = true;
    return true;
}

void CrossProcessLock::GiveThreadTurn() {
    {
        std::lock_guard lock(turnLock_);
        turnTaken_ = false;
    }
    turnFree_.notify_one();
}

CrossProcessLock::Result CrossProcessLock::Lock(int timeoutMs) {
    if (fd_.load() < 0) return Result::NoLock;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!TakeThreadTurn(deadline)) return Result::Timeout;
    if (fd_.load() < 0) {  // closed while this thread waited for its turn
        GiveThreadTurn();
        return Result::NoLock;
    }
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return Result::Owned;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error_ = errno;
            GiveThreadTurn();
            return Result::Failed;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            GiveThreadTurn();
            return Result::Timeout;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
}

void CrossProcessLock::Unlock() {
    if (const int fd = fd_.load(); fd >= 0) ::flock(fd, LOCK_UN);
    GiveThreadTurn();
}

}  // namespace platform
