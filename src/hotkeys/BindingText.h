#pragma once
// How a binding is shown: as one text ("LCtrl + RMouse") or as one name per key cap. UI thread only
// (the not-bound text comes from the language tables).

#include <string>
#include <vector>

#include "hotkeys/HotkeyBinding.h"

// The names of slots 1-3 joined by " + ", empty slots left out; the localized "HOTKEY_NOT_BOUND"
// text when slot 1 is empty. UTF-8.
std::string BindingText(HotkeyBinding binding);

// The names of the occupied slots in slot order; empty when slot 1 is empty.
std::vector<std::string> BindingKeyNames(HotkeyBinding binding);
