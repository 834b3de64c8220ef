#include "platform/x11/ShmSegment.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cerrno>
#include <utility>

namespace platform::x11 {

ShmSegment::ShmSegment(ShmSegment&& other) noexcept
    : id_(std::exchange(other.id_, -1)),
      address_(std::exchange(other.address_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      removed_(std::exchange(other.removed_, false)) {}

ShmSegment& ShmSegment::operator=(ShmSegment&& other) noexcept {
    if (this != &other) {
        Release();
        id_ = std::exchange(other.id_, -1);
        address_ = std::exchange(other.address_, nullptr);
        size_ = std::exchange(other.size_, 0);
        removed_ = std::exchange(other.removed_, false);
    }
    return *this;
}

ShmSegment::~ShmSegment() { Release(); }

ShmSegment ShmSegment::Create(size_t bytes, const char** failedCall, int* error) {
    ShmSegment s;
    s.id_ = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (s.id_ < 0) {
        *failedCall = "shmget";
        *error = errno;
        return s;
    }
    void* address = shmat(s.id_, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        *failedCall = "shmat";
        *error = errno;
        return s;  // its destructor removes the segment
    }
    s.address_ = static_cast<char*>(address);
    s.size_ = bytes;
    return s;
}

int ShmSegment::Remove() {
    if (id_ < 0 || removed_) return 0;
    if (shmctl(id_, IPC_RMID, nullptr) != 0) return errno;
    removed_ = true;
    return 0;
}

void ShmSegment::Release() {
    if (address_ != nullptr) shmdt(address_);
    Remove();
    id_ = -1;
    address_ = nullptr;
    size_ = 0;
    removed_ = false;
}

}  // namespace platform::x11
