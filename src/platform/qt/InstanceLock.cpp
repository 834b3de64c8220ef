#include "platform/qt/InstanceLock.h"

#include <QLockFile>
#include <QString>
#include <cstdlib>

#include "platform/posix/Paths.h"

namespace platform {

InstanceLock::InstanceLock() = default;
InstanceLock::~InstanceLock() = default;

std::string InstanceLock::FileName(const std::string& name, const std::string& display) {
    std::string d;
    for (char c : display) {
        const bool plain =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.';
        d.push_back(plain ? c : '_');
    }
    // ":0" and ":0.0" are the same session display.
    if (auto dot = d.rfind('.'); dot != std::string::npos && dot > 0) d.erase(dot);
    while (!d.empty() && d.front() == '_') d.erase(d.begin());
    return name + "-" + (d.empty() ? std::string("none") : d) + ".lock";
}

InstanceLock::Result InstanceLock::Acquire(const std::string& name) {
    const std::string folder = RuntimeFolder();
    if (folder.empty()) return Result::Failed;
    const char* display = std::getenv("DISPLAY");
    path_ = folder + "/" + FileName(name, display != nullptr ? display : "");
    lock_ = std::make_unique<QLockFile>(QString::fromStdString(path_));
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        // QLockFile follows the umask; the lock is the user's own whatever it is.
        SetPermissions(path_, 0600);
        return Result::Acquired;
    }
    return lock_->error() == QLockFile::LockFailedError ? Result::HeldByOther : Result::Failed;
}

}  // namespace platform
