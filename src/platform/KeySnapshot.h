#pragma once
// Which keys and mouse buttons were down at one moment, by Windows virtual-key code (0-255).

#include <bitset>

namespace platform {

class KeySnapshot {
public:
    static constexpr int kCodes = 256;

    // Codes outside 0-255 are never down.
    bool IsDown(int vk) const { return vk >= 0 && vk < kCodes && down_.test(static_cast<size_t>(vk)); }
    void Set(int vk, bool down) {
        if (vk >= 0 && vk < kCodes) down_.set(static_cast<size_t>(vk), down);
    }
    void Clear() { down_.reset(); }

private:
    std::bitset<kCodes> down_;
};

}  // namespace platform
