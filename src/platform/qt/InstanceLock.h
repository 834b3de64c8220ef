#pragma once
// The single-instance guard: a lock file in the runtime folder, held for the life of the process.
// A crashed owner's lock is recognised by its pid and taken over.

#include <memory>
#include <string>

class QLockFile;

namespace platform {

class InstanceLock {
public:
    enum class Result { Acquired, HeldByOther, Failed };

    InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    // name: the lock's name; the X display is added so each display has its own instance.
    Result Acquire(const std::string& name);
    const std::string& path() const { return path_; }

    // The lock file name for a name and display, for example Lentora_IsRunningMutex-0.lock for ":0".
    static std::string FileName(const std::string& name, const std::string& display);

private:
    std::unique_ptr<QLockFile> lock_;
    std::string path_;
};

}  // namespace platform
