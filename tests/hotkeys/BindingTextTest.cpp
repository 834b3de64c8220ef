#include <gtest/gtest.h>

#include <memory>

#include "hotkeys/BindingText.h"
#include "localization/LanguageStrings.h"
#include "support/TempDir.h"
#include "text/WideText.h"

namespace {

constexpr HotkeyBinding Keys(int a, int b = 0, int c = 0, int top = 0) {
    return static_cast<HotkeyBinding>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b) << 8 |
                                      static_cast<uint32_t>(c) << 16 | static_cast<uint32_t>(top) << 24);
}

TEST(HotkeyBinding, SlotsAndTheTopByte) {
    EXPECT_EQ(BindingSlot(674, 1), 162);
    EXPECT_EQ(BindingSlot(674, 2), 2);
    EXPECT_EQ(BindingSlot(674, 3), 0);
    EXPECT_EQ(BindingSlot(10527323, 1), 91);
    EXPECT_EQ(BindingSlot(10527323, 2), 162);
    EXPECT_EQ(BindingSlot(10527323, 3), 160);
    EXPECT_EQ(BindingExtraByte(Keys(1, 0, 0, 0x1B)), 27);
    EXPECT_EQ(BindingExtraByte(Keys(1, 0, 0, 0xFF)), -1);  // a signed byte
    EXPECT_EQ(BindingSlot(Keys(0xFF, 0xFF, 0xFF, 0xFF), 3), 0xFF);
}

TEST(HotkeyBinding, EscapeInAnyOfTheThreeSlotsIsInvalid) {
    struct Case {
        HotkeyBinding value;
        bool invalid;
    } cases[] = {
        {Keys(27), true},
        {Keys(162, 27), true},
        {Keys(162, 2, 27), true},
        {Keys(0, 0, 27), true},
        {Keys(27, 27, 27), true},
        {Keys(27, 0, 0, 0x80), true},
        {Keys(162, 0, 0, 27), false},  // the carried top byte does not count
        {0, false},
        {674, false},
        {10527323, false},
        {Keys(28, 26, 155), false},  // 155 = 27 + 128: the whole byte is compared
    };
    for (const Case& c : cases) EXPECT_EQ(IsInvalidBinding(c.value), c.invalid) << c.value;
}

TEST(BindingText, NamesJoinedBySpacePlusSpace) {
    struct Case {
        HotkeyBinding value;
        const char* text;
        std::vector<std::string> names;
    } cases[] = {
        {674, "LCtrl + RMouse", {"LCtrl", "RMouse"}},
        {10527323, "LWin + LCtrl + LShift", {"LWin", "LCtrl", "LShift"}},
        {Keys(65), "A", {"A"}},
        {Keys(187), "187", {"187"}},
        {Keys(220), "\\", {"\\"}},
        {Keys(65, 0, 116), "A + F5", {"A", "F5"}},    // an empty middle slot leaves no gap
        {Keys(162, 0, 0, 0x7F), "LCtrl", {"LCtrl"}},  // the top byte is never shown
        {Keys(0, 2), "HOTKEY_NOT_BOUND", {}},         // slot 1 empty: not bound, whatever follows
        {0, "HOTKEY_NOT_BOUND", {}},
    };
    ASSERT_EQ(gLanguageStrings, nullptr);
    for (const Case& c : cases) {
        EXPECT_EQ(BindingText(c.value), c.text) << c.value;
        EXPECT_EQ(BindingKeyNames(c.value), c.names) << c.value;
    }
}

class NotBoundText : public ::testing::Test {
protected:
    void Load(const std::string& current) {
        strings =
            std::make_unique<LanguageStrings>(dir.path() + "/", [] { return std::u16string(u"en-US"); });
        strings->SetLanguage(text::ToWide(current));
        gLanguageStrings = strings.get();
    }
    void TearDown() override { gLanguageStrings = nullptr; }
    TempDir dir;
    std::unique_ptr<LanguageStrings> strings;
};

TEST_F(NotBoundText, ComesFromTheCurrentLanguageThenEnglishThenTheId) {
    dir.Write("en-US.txt", "HOTKEY_NOT_BOUND Not bound\n");
    dir.Write("de-DE.txt", "HOTKEY_NOT_BOUND Nicht belegt\n");
    dir.Write("fr-FR.txt", "OTHER Autre\n");
    Load("de-DE");
    EXPECT_EQ(BindingText(0), "Nicht belegt");
    Load("fr-FR");
    EXPECT_EQ(BindingText(Keys(0, 65)), "Not bound");
    EXPECT_EQ(BindingText(674), "LCtrl + RMouse");
}

TEST_F(NotBoundText, WithoutAnyDefinitionIsTheIdItself) {
    dir.Write("en-US.txt", "OTHER Other\n");
    Load("en-US");
    EXPECT_EQ(BindingText(0), "HOTKEY_NOT_BOUND");
}

}  // namespace
