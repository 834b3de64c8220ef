#include "options/OptionText.h"

#include <charconv>
#include <climits>
#include <cstdio>

namespace options {
namespace {

// sscanf-like field reader of the C locale: skips blanks, then reads a decimal integer.
bool ReadInt(const char*& p, int& out) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') ++p;
    const char* start = p;
    if (*p == '+' || *p == '-') ++p;
    if (*p < '0' || *p > '9') {
        p = start;
        return false;
    }
    while (*p >= '0' && *p <= '9') ++p;
    long long v = 0;
    const char* digits = (*start == '+') ? start + 1 : start;
    auto [end, ec] = std::from_chars(digits, p, v);
    if (ec == std::errc::result_out_of_range) v = (*start == '-') ? LLONG_MIN : LLONG_MAX;
    (void)end;
    out = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
    return true;
}

bool ReadFloat(const char*& p, float& out) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') ++p;
    const char* start = p;
    if (*p == '+') ++p;
    auto [end, ec] = std::from_chars(p, p + std::char_traits<char>::length(p), out);
    if (end == p) {
        p = start;
        return false;
    }
    if (ec == std::errc::result_out_of_range) out = 0;
    p = end;
    return true;
}

bool Expect(const char*& p, char c) {
    // A blank in a scanf format matches any run of blanks, also none.
    if (c == ' ') {
        while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') ++p;
        return true;
    }
    if (*p != c) return false;
    ++p;
    return true;
}

// Matches text against a format of literal characters and '#' fields, filling fields until the first
// mismatch, as sscanf does.
template <typename T, size_t N, typename Reader>
void Scan(const std::string& text, const char* format, std::array<T, N>& fields, Reader read) {
    const char* p = text.c_str();
    size_t field = 0;
    for (const char* f = format; *f != '\0'; ++f) {
        if (*f == '#') {
            if (field >= N || !read(p, fields[field])) return;
            ++field;
        } else if (!Expect(p, *f)) {
            return;
        }
    }
}

}  // namespace

std::string IntText(int v) { return std::to_string(v); }
std::string BoolText(bool v) { return v ? "1" : "0"; }
std::string PairText(int x, int y) { return "[" + std::to_string(x) + ", " + std::to_string(y) + "]"; }
std::string RectText(int x, int y, int w, int h) {
    return "[" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(w) + ", " +
           std::to_string(h) + "]";
}

std::string FloatText(float v) {
    char buf[512];
    auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::fixed, 5);
    if (ec != std::errc()) return "0.00000";
    return std::string(buf, end);
}

std::string ColorText(float r, float g, float b, float a) {
    std::string out = "[";
    const float parts[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i) {
        char buf[512];
        auto [end, ec] =
            std::to_chars(buf, buf + sizeof buf, static_cast<double>(parts[i]), std::chars_format::fixed, 6);
        out += ec == std::errc() ? std::string(buf, end) : std::string("0.000000");
        if (i < 3) out += ", ";
    }
    return out + "]";
}

int ParseInt(const std::string& text) {
    const char* p = text.c_str();
    int v = 0;
    return ReadInt(p, v) ? v : 0;
}

bool ParseBool(const std::string& text) { return ParseInt(text) != 0; }

std::pair<int, int> ParsePair(const std::string& text) {
    std::array<int, 2> f{};
    Scan(text, "[#, #]", f, ReadInt);
    return {f[0], f[1]};
}

Color ParseColor(const std::string& text) {
    std::array<float, 4> f{};
    Scan(text, "[#, #, #, #]", f, ReadFloat);
    return {f[0], f[1], f[2], f[3]};
}

std::array<int, 4> ParseRect(const std::string& text) {
    std::array<int, 4> f{};
    Scan(text, "[#, #, #, #]", f, ReadInt);
    return f;
}

float ParseFloat(const std::string& text) {
    const char* p = text.c_str();
    float v = 0;
    return ReadFloat(p, v) ? v : 0.0f;
}

}  // namespace options
