#pragma once
// Conversions between the program's two text forms: UTF-8 (options, JSON, language files, paths) and
// UTF-16 (everything the user sees, the log file).

#include <string>
#include <string_view>

namespace text {

// No limit on the length of the result.
constexpr size_t kUnlimited = static_cast<size_t>(-1);

// UTF-8 to UTF-16. A leading byte-order mark is skipped; invalid sequences become U+FFFD.
// A result longer than maxUnits code units gives the empty text.
std::u16string ToWide(std::string_view utf8, size_t maxUnits = kUnlimited);

// UTF-16 to UTF-8. Unpaired surrogates become U+FFFD.
std::string ToNarrow(std::u16string_view utf16);

// ASCII-only case folding, as used for comparing locale names.
bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b);
std::string ToLowerAscii(std::string_view s);

}  // namespace text
