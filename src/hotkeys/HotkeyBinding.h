#pragma once
// A hotkey as one integer: up to three Windows virtual-key codes held together, one per byte from the
// lowest (slots 1-3, 0 = empty), in the order they were pressed; mouse buttons are codes 1, 2, 4, 5, 6.
// 0 means not bound. Whatever a stored value holds in bits 24-31 is carried along, never polled nor
// shown. Stored in the options as its decimal value.

#include <cstdint>

using HotkeyBinding = int32_t;

// Escape is reserved: while a binding is recorded it clears it.
constexpr int kEscapeKeyCode = 27;

// The code in slot 1, 2 or 3; 0 when the slot is empty.
constexpr int BindingSlot(HotkeyBinding binding, int slot) {
    return static_cast<int>((static_cast<uint32_t>(binding) >> (8 * (slot - 1))) & 0xFFu);
}

// Bits 24-31, as a signed byte.
constexpr int BindingExtraByte(HotkeyBinding binding) {
    return static_cast<int8_t>(static_cast<uint8_t>(static_cast<uint32_t>(binding) >> 24));
}

// A value holding Escape in slot 1, 2 or 3 cannot be used; the top byte does not count.
constexpr bool IsInvalidBinding(HotkeyBinding binding) {
    return BindingSlot(binding, 1) == kEscapeKeyCode || BindingSlot(binding, 2) == kEscapeKeyCode ||
           BindingSlot(binding, 3) == kEscapeKeyCode;
}
