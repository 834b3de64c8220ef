#include "app/LanguageList.h"

#include <nlohmann/json.hpp>

#include "platform/qt/Locale.h"
#include "text/WideText.h"

std::string LanguagesJson(const std::vector<std::u16string>& names) {
    nlohmann::json doc = nlohmann::json::object();
    for (const std::u16string& name : names) {
        std::u16string native = platform::NativeLanguageName(name);
        if (native.empty()) native = name;
        if (!native.empty()) {
            const std::u16string upper = platform::ToUpperForLocale(name, native.substr(0, 1));
            if (upper.size() == 1) native[0] = upper[0];
        }
        nlohmann::json units = nlohmann::json::array();
        for (char16_t u : native) units.push_back(static_cast<unsigned>(u));
        doc[text::ToNarrow(name)] = std::move(units);
    }
    return doc.dump(1, '\t', false, nlohmann::json::error_handler_t::replace);
}
