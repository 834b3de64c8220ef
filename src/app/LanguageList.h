#pragma once
#include <string>
#include <vector>

// The languages offered on the Settings page as JSON: each language name maps to the UTF-16 code
// units of its native name ("en-US": the units of "English"), the first character upper-cased.
// A name that is no known locale is offered under its own name.
std::string LanguagesJson(const std::vector<std::u16string>& names);
