#pragma once
// A failed call as the platform layer hands it back: the call's name and its result (errno, an X error
// code, or 0 where the call has none). The caller decides whether and when to log it.

#include <string>

namespace platform {

struct CallFailure {
    std::string call;  // empty: nothing failed
    long code = 0;
    explicit operator bool() const { return !call.empty(); }
};

}  // namespace platform
