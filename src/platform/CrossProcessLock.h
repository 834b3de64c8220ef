#pragma once
// A lock shared by every process that opens the same lock file: flock() retried until a deadline.
// flock() does not exclude the threads of one process (they share the open file), so an in-process
// mutex is taken first, under the same deadline.

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
    bool IsOpen() const { return fd_ >= 0; }
    void Close();

    // Waits at most timeoutMs for the lock. On Failed, error() holds the errno value.
    Result Lock(int timeoutMs);
    void Unlock();
    int error() const { return error_; }

private:
    std::timed_mutex threads_;
    int fd_ = -1;
    int error_ = 0;
};

}  // namespace platform
