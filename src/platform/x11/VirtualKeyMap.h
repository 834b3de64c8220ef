#pragma once
// What stands on X for a Windows virtual-key code: a pointer button for the mouse codes, keysyms for
// the keys. Printable keys go by their US-layout keysyms; the generic Shift, Ctrl and Alt codes list
// both sides.

#include <span>

namespace platform::x11 {

// The X pointer button of a mouse code (1 left, 2 right, 4 middle, 5 and 6 the side buttons);
// 0 for every other code.
int PointerButtonForVirtualKey(int vk);

// The keysyms of a key code, the usual one first; empty for mouse codes and codes with no key.
std::span<const unsigned long> KeysymsForVirtualKey(int vk);

}  // namespace platform::x11
