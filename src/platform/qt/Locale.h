#pragma once
// Locale facts: the user's default locale and the names of languages in their own language.
// Locale names use the dash form, for example "de-DE".

#include <string>

namespace platform {

// The first of the user's UI languages (LANGUAGE, LC_ALL, LC_MESSAGES, LANG); "C" and "POSIX" read as
// "en-US".
std::u16string UserDefaultLocaleName();

// The language of a locale name in that language ("Deutsch" for de-DE, "English" for en-US);
// empty when the name is no locale this system knows.
std::u16string NativeLanguageName(const std::u16string& localeName);

// Upper-cases text by the rules of the locale; the text itself when the locale is unknown.
std::u16string ToUpperForLocale(const std::u16string& localeName, const std::u16string& text);

}  // namespace platform
