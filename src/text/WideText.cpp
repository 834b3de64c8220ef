#include "text/WideText.h"

namespace text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUnit(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::u16string ToWide(std::string_view s, size_t maxUnits) {
    if (s.size() >= 3 && static_cast<unsigned char>(s[0]) == 0xEF &&
        static_cast<unsigned char>(s[1]) == 0xBB && static_cast<unsigned char>(s[2]) == 0xBF) {
        s.remove_prefix(3);
    }
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        char32_t cp = kReplacement;
        size_t len = 1;
        if (b0 < 0x80) {
            cp = b0;
        } else {
            size_t need = 0;
            char32_t min = 0;
            if ((b0 & 0xE0) == 0xC0) {
                need = 1, cp = b0 & 0x1F, min = 0x80;
            } else if ((b0 & 0xF0) == 0xE0) {
                need = 2, cp = b0 & 0x0F, min = 0x800;
            } else if ((b0 & 0xF8) == 0xF0) {
                need = 3, cp = b0 & 0x07, min = 0x10000;
            }
            bool ok = need > 0;
            for (size_t k = 1; ok && k <= need; ++k) {
                if (i + k >= s.size()) {
                    ok = false;
                    break;
                }
                const auto b = static_cast<unsigned char>(s[i + k]);
                if ((b & 0xC0) != 0x80) {
                    ok = false;
                    break;
                }
                cp = (cp << 6) | (b & 0x3F);
            }
            if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
            if (ok) {
                len = need + 1;
            } else {
                cp = kReplacement;
                len = 1;
            }
        }
        AppendUnit(out, cp);
        i += len;
        if (out.size() > maxUnits) return {};
    }
    return out;
}

std::string ToNarrow(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
                ++i;
            } else {
                cp = kReplacement;
            }
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

std::string ToLowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

}  // namespace text
