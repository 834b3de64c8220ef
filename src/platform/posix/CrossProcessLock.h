#pragma once
// A lock shared by every process that opens the same lock file: flock() retried until a deadline.
// flock() does not exclude the threads of one process (they share the open file), so an in-process
// mutex is taken first, under the same deadline.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

namespace platform {

class CrossProcessLock {
public:
    enum class Result { Owned, Timeout, Failed, NoLock };

    CrossProcessLock() = default;
    CrossProcessLock(const CrossProcessLock&) = delete;
    CrossProcessLock& operator=(const CrossProcessLock&) = delete;
    ~CrossProcessLock();

    // Opens (creating, 0600) the lock file; returns 0 or errno.
    int Open(const std::string& path);
    bool IsOpen() const { return fd_.load() >= 0; }
    // Waits (at most kCloseWaitMs) until no thread of this process holds the lock, so that none flocks
    // a descriptor that was closed, or reused for another file, under it.
    void Close();
    static constexpr int kCloseWaitMs = 2000;

    // Waits at most timeoutMs for the lock. On Failed, error() holds the errno value.
    Result Lock(int timeoutMs);
    void Unlock();
    int error() const { return error_; }

private:
    // The in-process part: a flag under a plain mutex (a timed mutex's clock wait is invisible to
    // ThreadSanitizer).
    bool TakeThreadTurn(std::chrono::steady_clock::time_point deadline);
    void GiveThreadTurn();

    std::mutex turnLock_;
    std::condition_variable turnFree_;
    bool turnTaken_ = false;   // guarded by turnLock_
    std::atomic<int> fd_{-1};  // changed only with the turn taken
    int error_ = 0;
};

}  // namespace platform
