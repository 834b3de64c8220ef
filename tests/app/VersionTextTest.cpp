#include "localization/VersionText.h"

#include <gtest/gtest.h>

#include "localization/LanguageStrings.h"
#include "support/TempDir.h"

TEST(VersionText, OnlyTheFirstIntegerConversionIsFormatted) {
    struct Case {
        std::u16string format, text;
    } cases[] = {
        {u"%d", u"2047"},
        {u"Version 1.0.%d", u"Version 1.0.2047"},
        {u"%u/%x/%X/%o", u"2047/%x/%X/%o"},
        {u"%x", u"7ff"},
        {u"%05d", u"02047"},
        {u"%-6d|", u"2047  |"},
        {u"%#x", u"0x7ff"},
        {u"%#d", u"2047"},
        {u"%lld", u"2047"},
        {u"100%% %d", u"100% 2047"},
        {u"%s %d", u"%s 2047"},    // a string conversion reads nothing
        {u"%n%d", u"%n2047"},      // nor writes anything
        {u"%*d %d", u"%*d 2047"},  // a width from the arguments is not ours
        {u"%99999d", u"%99999d"},  // nor a width that would make the text huge
        {u"%", u"%"},
        {u"end %", u"end %"},
        {u"Версия %d", u"Версия 2047"},
        {u"", u""},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatVersionText(c.format, 2047), c.text);
    EXPECT_EQ(FormatVersionText(std::u16string(5000, u'a'), 2047).size(), 4096u);
}

TEST(VersionText, TheLanguageTextLosesItsLastFiveCharacters) {
    TempDir dir;
    struct Case {
        std::string line;
        std::u16string version;
    } cases[] = {
        {"CURRENT.VERSION Version 1.0.%d beta", u"Version 1.0.2047"},
        {"CURRENT.VERSION %d", u"2047"},  // shorter than five: used whole
        {"CURRENT.VERSION abcde", u""},
        {"OTHER x", u"CURRENT.VE"},  // no text: the id itself, less five characters
    };
    for (const auto& c : cases) {
        dir.Write("en-US.txt", c.line + "\n");
        LanguageStrings strings(dir.path() + "/", [] { return std::u16string(u"en-US"); });
        gLanguageStrings = &strings;
        EXPECT_EQ(AppVersionText(), c.version) << c.line;
        gLanguageStrings = nullptr;
    }
}
