#pragma once
// The key state of the X server, read over a connection of the calling thread's own: the core keymap
// for the keys, XInput2 for the pointer buttons (the core request knows no buttons beyond 5), and
// XInput2 raw events on the root for every transition between reads (no grab). Keysyms are resolved
// to this server's keycodes, again whenever its keyboard mapping changes; codes with no key on this
// keyboard read as up.

#include <memory>
#include <string>

#include "platform/IKeyState.h"

namespace platform {

// displayName: empty for $DISPLAY. Never null: when the server cannot be reached, every Read fails
// with "XOpenDisplay". Use and destroy it on the thread that opened it.
std::unique_ptr<IKeyState> OpenX11KeyState(const std::string& displayName = {});

}  // namespace platform
