#pragma once
// A window that remembers what was posted to it, from whichever thread.

#include <mutex>
#include <ostream>
#include <vector>

#include "platform/IMessageTarget.h"

struct Posted {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    bool operator==(const Posted&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Posted& p) {
    return os << "(" << p.message << ", " << p.wParam << ", " << p.lParam << ")";
}

class RecordingWindow final : public platform::IMessageTarget {
public:
    void Post(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        std::lock_guard l(lock_);
        posted_.push_back({message, wParam, lParam});
    }
    // What was posted since the last call.
    std::vector<Posted> Take() {
        std::lock_guard l(lock_);
        return std::exchange(posted_, {});
    }

private:
    std::mutex lock_;
    std::vector<Posted> posted_;  // guarded by lock_
};
