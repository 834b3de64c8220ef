#pragma once
// The program's own language files, from the source tree, as the process's language tables while the
// object lives; the user's locale is English.

#include <cstdlib>
#include <memory>
#include <string>

#include "localization/LanguageStrings.h"

class ProgramTexts {
public:
    ProgramTexts()
        : strings_(
              std::make_unique<LanguageStrings>(LocaleFolder(), [] { return std::u16string(u"en-US"); })) {
        gLanguageStrings = strings_.get();
    }
    ~ProgramTexts() { gLanguageStrings = nullptr; }
    ProgramTexts(const ProgramTexts&) = delete;
    ProgramTexts& operator=(const ProgramTexts&) = delete;

    static std::string LocaleFolder() {
        return std::string(std::getenv("LENTORA_SOURCE_DIR")) + "/resources/locale/";
    }
    LanguageStrings* operator->() const { return strings_.get(); }

private:
    std::unique_ptr<LanguageStrings> strings_;
};
