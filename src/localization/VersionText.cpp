#include "localization/VersionText.h"

#include <cstdio>
#include <string>

#include "localization/LanguageStrings.h"

namespace {

constexpr size_t kMaxUnits = 4096;

bool IsFlag(char16_t c) { return c == u'-' || c == u'+' || c == u' ' || c == u'#' || c == u'0'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsLength(char16_t c) {
    return c == u'h' || c == u'l' || c == u'j' || c == u'z' || c == u't' || c == u'L';
}
bool IsIntConversion(char16_t c) {
    return c == u'd' || c == u'i' || c == u'u' || c == u'x' || c == u'X' || c == u'o';
}

}  // namespace

std::u16string FormatVersionText(const std::u16string& f, unsigned build) {
    std::u16string out;
    bool used = false;
    size_t i = 0;
    while (i < f.size() && out.size() < kMaxUnits) {
        if (f[i] != u'%') {
            out.push_back(f[i++]);
            continue;
        }
        if (i + 1 < f.size() && f[i + 1] == u'%') {
            out.push_back(u'%');
            i += 2;
            continue;
        }
        // Read one conversion: flags, width, precision, length, letter.
        size_t j = i + 1;
        std::string conversion = "%";
        while (j < f.size() && IsFlag(f[j])) conversion.push_back(static_cast<char>(f[j++]));
        size_t widthDigits = 0;
        while (j < f.size() && IsDigit(f[j])) {
            conversion.push_back(static_cast<char>(f[j++]));
            ++widthDigits;
        }
        size_t precisionDigits = 0;
        if (j < f.size() && f[j] == u'.') {
            conversion.push_back('.');
            ++j;
            while (j < f.size() && IsDigit(f[j])) {
                conversion.push_back(static_cast<char>(f[j++]));
                ++precisionDigits;
            }
        }
        while (j < f.size() && IsLength(f[j])) ++j;  // the build number is an unsigned int whatever it says
        const bool fits = widthDigits <= 3 && precisionDigits <= 3;
        if (!used && fits && j < f.size() && IsIntConversion(f[j])) {
            const char conv = f[j] == u'i' ? 'd' : static_cast<char>(f[j]);
            // '#' is defined only for the octal and hexadecimal forms.
            if (conv == 'd' || conv == 'u') std::erase(conversion, '#');
            conversion.push_back(conv);
            char buf[2048];
            snprintf(buf, sizeof buf, conversion.c_str(), build);
            for (const char* p = buf; *p != '\0'; ++p) out.push_back(static_cast<unsigned char>(*p));
            used = true;
            i = j + 1;
            continue;
        }
        // Not ours to format: the percent sign stands as a plain character.
        out.push_back(f[i++]);
    }
    if (out.size() > kMaxUnits) out.resize(kMaxUnits);
    return out;
}

std::u16string AppVersionText() {
    std::u16string t = gLanguageStrings != nullptr ? gLanguageStrings->GetText("CURRENT.VERSION") : u"";
    if (t.size() >= 5) t.resize(t.size() - 5);
    return FormatVersionText(t, kBuildNumber);
}
