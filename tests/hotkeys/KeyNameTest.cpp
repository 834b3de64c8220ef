#include <gtest/gtest.h>

#include <map>
#include <string>

#include "hotkeys/KeyName.h"

namespace {

// Every named key, as the user must see it.
// clang-format off
const std::map<int, std::string> kNames = {
    {1, "LMouse"},     {2, "RMouse"},      {4, "MMouse"},     {5, "XMouse1"},   {6, "XMouse2"},
    {8, "Backspace"},  {9, "Tab"},         {13, "Enter"},     {160, "LShift"},  {161, "RShift"},
    {162, "LCtrl"},    {163, "RCtrl"},     {164, "LAlt"},     {165, "RAlt"},    {19, "Pause"},
    {20, "CapsLock"},  {27, "Escape"},     {32, "Space"},     {33, "Page Up"},  {34, "Page Down"},
    {35, "End"},       {36, "Home"},       {37, "Left"},      {38, "Up"},       {39, "Right"},
    {40, "Down"},      {44, "PrnScr"},     {45, "Ins"},       {46, "Del"},      {91, "LWin"},
    {92, "RWin"},      {96, "Num 0"},      {97, "Num 1"},     {98, "Num 2"},    {99, "Num 3"},
    {100, "Num 4"},    {101, "Num 5"},     {102, "Num 6"},    {103, "Num 7"},   {104, "Num 8"},
    {105, "Num 9"},    {106, "Num *"},     {107, "Num +"},    {108, "Num Separator"},
    {109, "Num -"},    {110, "Num ."},     {111, "Num /"},    {112, "F1"},      {113, "F2"},
    {114, "F3"},       {115, "F4"},        {116, "F5"},       {117, "F6"},      {118, "F7"},
    {119, "F8"},       {120, "F9"},        {121, "F10"},      {122, "F11"},     {123, "F12"},
    {124, "F13"},      {125, "F14"},       {126, "F15"},      {127, "F16"},     {128, "F17"},
    {144, "NumLock"},  {145, "Scroll"},    {186, ":"},        {191, "/"},       {192, "~"},
    {219, "["},        {220, "\\"},        {221, "]"},        {222, "'"},
};
// clang-format on

TEST(KeyName, EveryCode) {
    ASSERT_EQ(kNames.size(), 73u);
    for (int code = 0; code < 256; ++code) {
        std::string expected;
        if (auto it = kNames.find(code); it != kNames.end()) {
            expected = it->second;
        } else if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) {
            expected = std::string(1, static_cast<char>(code));
        } else if (code != 0) {
            expected = std::to_string(code);  // generic modifiers, F18 and up, OEM keys without a name
        }
        EXPECT_EQ(KeyName(static_cast<uint8_t>(code)), expected) << "code " << code;
    }
    // The ones a reader would most likely get wrong.
    EXPECT_EQ(KeyName(0), "");
    EXPECT_EQ(KeyName(17), "17");
    EXPECT_EQ(KeyName(129), "129");
    EXPECT_EQ(KeyName(187), "187");
    EXPECT_EQ(KeyName(220), "\\");
    EXPECT_EQ(KeyName(220).size(), 1u);
}

}  // namespace
