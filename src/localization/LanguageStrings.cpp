#include "localization/LanguageStrings.h"

#include <dirent.h>

#include "log/IDebugPrint.h"
#include "platform/posix/FileIo.h"
#include "platform/posix/Paths.h"
#include "platform/qt/Locale.h"
#include "text/WideText.h"

LanguageStrings* gLanguageStrings = nullptr;

namespace {

const std::u16string kUnknownId = u"???";

bool HasTxtSuffix(const std::string& name) {
    if (name.size() < 4) return false;
    return text::ToLowerAscii(name.substr(name.size() - 4)) == ".txt";
}

std::vector<std::string> TxtFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* e = readdir(dir)) {
        const std::string n = e->d_name;
        if (n != "." && n != ".." && HasTxtSuffix(n)) names.push_back(n);
    }
    closedir(dir);
    return names;
}

}  // namespace

LanguageStrings::LanguageStrings(std::string folder, LocaleProvider userLocale)
    : folder_(std::move(folder)), userLocale_(std::move(userLocale)) {
    if (!userLocale_) userLocale_ = platform::UserDefaultLocaleName;
    Log() << "User locale: " << userLocale_() << LogEnd;
    LoadLanguageFile(u"en-US");
    english_ = current_;
}

std::string LanguageStrings::FileFor(const std::u16string& name) const {
    const std::string wanted = text::ToNarrow(name) + ".txt";
    // Exact name first; the locale names of the files are matched without regard to case.
    if (platform::PathExists(folder_ + wanted)) return wanted;
    for (const std::string& file : TxtFiles(folder_)) {
        if (text::ToLowerAscii(file) == text::ToLowerAscii(wanted)) return file;
    }
    return {};
}

void LanguageStrings::LoadLanguageFile(const std::u16string& name) {
    const std::string file = FileFor(name);
    if (file.empty()) return;
    std::string bytes;
    if (platform::ReadFile(folder_ + file, bytes) != 0) return;
    current_.clear();
    ParseLanguageFile(bytes, current_);
}

std::vector<std::u16string> LanguageStrings::ListLanguages() const {
    std::vector<std::u16string> out;
    for (const std::string& file : TxtFiles(folder_))
        out.push_back(text::ToWide(file.substr(0, file.find('.'))));
    return out;
}

std::u16string LanguageStrings::SetLanguage(const std::u16string& requested) {
    const std::u16string wanted = requested.empty() ? userLocale_() : requested;
    currentName_ = u"en-US";
    for (const std::u16string& name : ListLanguages()) {
        if (text::EqualsIgnoreAsciiCase(name, wanted)) {
            currentName_ = wanted;
            break;
        }
    }
    Log() << "Set locale : " << currentName_ << LogEnd;
    LoadLanguageFile(currentName_);
    return currentName_;
}

const LanguageEntry& LanguageStrings::AddToEnglish(const char* id) {
    LanguageEntry& e = english_[id];
    e.utf8 = id;
    e.utf16 = text::ToWide(id);
    return e;
}

const std::u16string& LanguageStrings::GetText(const char* id) {
    if (id == nullptr) return kUnknownId;
    if (auto it = current_.find(id); it != current_.end()) return it->second.utf16;
    return GetEnglishText(id);
}

const std::u16string& LanguageStrings::GetEnglishText(const char* id) {
    if (id == nullptr) return kUnknownId;
    if (auto it = english_.find(id); it != english_.end()) return it->second.utf16;
    return AddToEnglish(id).utf16;
}

const std::string& LanguageStrings::GetNotBoundText() {
    static const char* kId = "HOTKEY_NOT_BOUND";
    if (auto it = current_.find(kId); it != current_.end()) return it->second.utf8;
    if (auto it = english_.find(kId); it != english_.end()) return it->second.utf8;
    return AddToEnglish(kId).utf8;
}
