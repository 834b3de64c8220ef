#pragma once
// A System V shared-memory segment mapped into this process (0600, private key). Remove() marks it for
// removal: it then lives only while mapped, so a crash leaves nothing behind.
// Thread rule: one owner thread.

#include <cstddef>

namespace platform::x11 {

class ShmSegment {
public:
    ShmSegment() = default;
    ShmSegment(ShmSegment&& other) noexcept;
    ShmSegment& operator=(ShmSegment&& other) noexcept;
    ShmSegment(const ShmSegment&) = delete;
    ShmSegment& operator=(const ShmSegment&) = delete;
    ~ShmSegment();

    // An empty segment on failure, with the failing call's name and errno.
    static ShmSegment Create(size_t bytes, const char** failedCall, int* error);

    explicit operator bool() const { return address_ != nullptr; }
    int id() const { return id_; }
    char* address() const { return address_; }
    size_t size() const { return size_; }

    // Returns 0 or errno of shmctl.
    int Remove();

private:
    void Release();

    int id_ = -1;
    char* address_ = nullptr;
    size_t size_ = 0;
    bool removed_ = false;
};

}  // namespace platform::x11
