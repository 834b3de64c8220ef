#pragma once
// The string tables: English, loaded once as the fallback, and the current language. Every text the
// user sees is looked up here by id: current language, then English, then the id itself.
// UI thread only.

#include <functional>
#include <string>
#include <vector>

#include "localization/LanguageFile.h"

class LanguageStrings {
public:
    using LocaleProvider = std::function<std::u16string()>;

    // folder: the locale folder, ending with '/'. userLocale: the user's default locale name (the
    // system's when not given).
    explicit LanguageStrings(std::string folder, LocaleProvider userLocale = {});

    // Replaces the current table by the file of a language; a file that cannot be opened changes nothing.
    void LoadLanguageFile(const std::u16string& name);
    // Names of the language files (up to their first dot), in the order the folder lists them.
    std::vector<std::u16string> ListLanguages() const;
    // Selects a language by name (ASCII case ignored; empty: the user's default locale; no match:
    // "en-US") and returns the name in effect, as it was requested.
    std::u16string SetLanguage(const std::u16string& requested);

    // The returned texts stay valid until the next language change.
    const std::u16string& GetText(const char* id);
    const std::u16string& GetEnglishText(const char* id);
    const std::string& GetNotBoundText();

    const std::u16string& currentName() const { return currentName_; }
    const LanguageTable& currentTable() const { return current_; }
    const LanguageTable& englishTable() const { return english_; }

private:
    // The file name on disk for a language, matched without regard to case; empty when there is none.
    std::string FileFor(const std::u16string& name) const;
    const LanguageEntry& AddToEnglish(const char* id);

    std::string folder_;
    LocaleProvider userLocale_;
    std::u16string currentName_;
    LanguageTable current_;
    LanguageTable english_;
};

// The tables of the process; set by start-up, cleared by shutdown.
extern LanguageStrings* gLanguageStrings;
