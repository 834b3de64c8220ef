#include "hotkeys/BindingText.h"

#include "hotkeys/KeyName.h"
#include "localization/LanguageStrings.h"

namespace {

std::string NotBoundText() {
    if (gLanguageStrings == nullptr) return "HOTKEY_NOT_BOUND";
    return gLanguageStrings->GetNotBoundText();
}

}  // namespace

std::vector<std::string> BindingKeyNames(HotkeyBinding binding) {
    std::vector<std::string> names;
    if (BindingSlot(binding, 1) == 0) return names;
    for (int slot = 1; slot <= 3; ++slot) {
        if (const int code = BindingSlot(binding, slot); code != 0)
            names.push_back(KeyName(static_cast<uint8_t>(code)));
    }
    return names;
}

std::string BindingText(HotkeyBinding binding) {
    const std::vector<std::string> names = BindingKeyNames(binding);
    if (names.empty()) return NotBoundText();
    std::string text = names[0];
    for (size_t i = 1; i < names.size(); ++i) text += " + " + names[i];
    return text;
}
