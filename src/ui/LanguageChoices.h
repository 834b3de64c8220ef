#pragma once
// The language list that start-up writes as JSON: each locale name maps to the UTF-16 code units of the
// language's native name. Read in the order of the keys' bytes.

#include <string>
#include <vector>

struct LanguageChoice {
    std::u16string native;
    std::string locale;  // UTF-8
};

// What cannot be read is left out and told in errors: a text that is no JSON object gives no languages;
// a member that is no list of code units is skipped.
std::vector<LanguageChoice> ReadLanguageChoices(const std::string& json, std::vector<std::string>* errors);
