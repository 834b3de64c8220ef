#pragma once
// A named action of the hotkey manager. Created and owned by the manager; callers hold a pointer as an
// opaque handle, valid until the action is removed. Every field is guarded by the manager's lock.

#include <cstdint>
#include <string>
#include <vector>

#include "hotkeys/HotkeyCallback.h"
#include "hotkeys/KeyCombo.h"

struct HotkeyAction {
    std::string group;                  // always "COMMON_HOTKEY_GROUP"; read by nothing
    std::string name;                   // "magnification", "enable_editor"
    std::vector<KeyCombo> combos;       // SetBinding sets the first one
    HotkeyCallback callback = nullptr;  // none: the action is not polled
    void* context = nullptr;            // handed back to the callback
    // What its messages carry: never given to another action, unlike the address, which a new action
    // may get once this one is freed while a message of it still waits.
    uint64_t id = 0;
};
