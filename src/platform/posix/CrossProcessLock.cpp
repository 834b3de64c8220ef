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
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    return fd_ >= 0 ? 0 : errno;
}

void CrossProcessLock::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
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
    if (fd_ < 0) return Result::NoLock;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!TakeThreadTurn(deadline)) return Result::Timeout;
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
    if (fd_ >= 0) ::flock(fd_, LOCK_UN);
    GiveThreadTurn();
}

}  // namespace platform
