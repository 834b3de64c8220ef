#pragma once
// Where the hotkey thread reads the keyboard and the mouse buttons: one snapshot per poll, whichever
// window has the focus. An object belongs to the thread that reads it.

#include <vector>

#include "platform/KeySnapshot.h"

namespace platform {

// A failed call behind the key state, for the log.
struct KeyStateError {
    const char* call = nullptr;  // null: nothing failed
    int code = 0;                // errno, or the X error code
};

// One key or button going down or up, by virtual-key code.
struct KeyTransition {
    int vk = 0;
    bool down = false;
    friend bool operator==(const KeyTransition&, const KeyTransition&) = default;
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

    // A descriptor that becomes readable when transitions may have arrived, so the reader can sleep on
    // it between reads; -1 when this key state sees no transitions, only the keys down at each Read.
    virtual int EventFd() const { return -1; }
    // Replaces out by the transitions seen since the last call, oldest first, without waiting. A key
    // that maps to several codes gives a transition for each. Afterwards nothing waits to be taken
    // that EventFd would not announce.
    virtual void TakeTransitions(std::vector<KeyTransition>& out) { out.clear(); }
};

}  // namespace platform
