#include "ui/LanguageChoices.h"

#include <nlohmann/json.hpp>

std::vector<LanguageChoice> ReadLanguageChoices(const std::string& json, std::vector<std::string>* errors) {
    std::vector<LanguageChoice> out;
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(json);
    } catch (const nlohmann::json::exception& e) {
        errors->push_back(e.what());
        return out;
    }
    if (!doc.is_object()) {
        errors->push_back("not an object");
        return out;
    }
    // The object keeps its members sorted by the bytes of their keys.
    for (const auto& [key, value] : doc.items()) {
        std::u16string units;
        bool readable = value.is_array();
        if (readable) {
            for (const nlohmann::json& unit : value) {
                if (!unit.is_number_unsigned() || unit.get<uint64_t>() > 0xFFFF) {
                    readable = false;
                    break;
                }
                units.push_back(static_cast<char16_t>(unit.get<uint64_t>()));
            }
        }
        if (!readable) {
            errors->push_back("the member \"" + key + "\" is no list of UTF-16 code units");
            continue;
        }
        out.push_back({std::move(units), key});
    }
    return out;
}
