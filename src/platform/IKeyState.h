#pragma once
// Where the hotkey thread reads the keyboard and the mouse buttons: one snapshot per poll, whichever
// window has the focus. An object belongs to the thread that reads it.

#include "platform/KeySnapshot.h"

namespace platform {

// A failed call behind the key state, for the log.
struct KeyStateError {
    const char* call = nullptr;  // null: nothing failed
    int code = 0;                // errno, or the X error code
};

class IKeyState {
public:
    virtual ~IKeyState() = default;
    // Replaces snapshot by the keys down now. False when they could not be read: snapshot is then
    // unspecified and the caller skips this poll rather than taking every key as released.
    virtual bool Read(KeySnapshot& snapshot) = 0;
    // The first failure since the last call, once: a failure that repeats poll after poll is reported
    // again only after a read has succeeded in between.
    virtual KeyStateError TakeError() = 0;
};

}  // namespace platform
