#pragma once
// The text forms of option values. Writers print, readers parse at the point of use; text that does not
// parse reads as zeros. Numbers are always in the C form ("0.500000"), whatever the user's locale.

#include <array>
#include <string>
#include <utility>

namespace options {

struct Color {
    float r = 0, g = 0, b = 0, a = 0;
};

std::string IntText(int v);                                 // "%d"
std::string BoolText(bool v);                               // "0" or "1"
std::string PairText(int x, int y);                         // "[%d, %d]"
std::string ColorText(float r, float g, float b, float a);  // "[%f, %f, %f, %f]"
std::string FloatText(float v);                             // "%.5f"
std::string RectText(int x, int y, int w, int h);           // "[%d, %d, %d, %d]"

int ParseInt(const std::string& text);    // like atol: leading blanks, sign, digits
bool ParseBool(const std::string& text);  // non-zero integer
std::pair<int, int> ParsePair(const std::string& text);
Color ParseColor(const std::string& text);
std::array<int, 4> ParseRect(const std::string& text);
float ParseFloat(const std::string& text);

}  // namespace options
