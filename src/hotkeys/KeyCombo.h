#pragma once
// One key combination of an action, with what the polling thread last saw of it.

#include <cstdint>

struct KeyCombo {
    int32_t key1 = 0;  // virtual-key codes from slots 1-3 of the binding, 0 = empty
    int32_t key2 = 0;
    int32_t key3 = 0;
    int32_t key4 = 0;       // bits 24-31 of the binding as a signed byte; never polled
    bool pressed = false;   // held at the last poll
    bool reported = false;  // its press was posted, its release is still to be posted

    bool IsEmpty() const { return key1 == 0 && key2 == 0 && key3 == 0; }
};
