#pragma once
// A window's message queue as seen by a thread that posts to it: (message, wParam, lParam) triples
// delivered later on the receiver's thread, in the order they were posted.

#include <cstdint>

namespace platform {

class IMessageTarget {
public:
    virtual ~IMessageTarget() = default;
    // Any thread; returns at once, never waiting for the receiver.
    virtual void Post(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

}  // namespace platform
