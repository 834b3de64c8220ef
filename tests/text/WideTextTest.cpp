#include "text/WideText.h"

#include <gtest/gtest.h>

using text::ToNarrow;
using text::ToWide;

TEST(WideText, Utf8ToUtf16) {
    struct Case {
        std::string in;
        std::u16string out;
    } cases[] = {
        {"", u""},
        {"plain", u"plain"},
        {"\xEF\xBB\xBFwith bom", u"with bom"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         u"Grüße"},
        {"\xD1\x80\xD1\x83\xD1\x81", u"рус"},
        {"\xF0\x9F\x94\x8D", u"\U0001F50D"},  // outside the BMP: a surrogate pair
        {"a\xFF"
         "b",
         u"a\uFFFDb"},                            // a byte that starts nothing
        {"a\xC3", u"a\uFFFD"},                    // cut in the middle of a sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},            // overlong form of '/'
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // an encoded surrogate
    };
    for (const auto& c : cases) EXPECT_EQ(ToWide(c.in), c.out) << c.in;
}

TEST(WideText, RoundTripAndLimits) {
    const std::u16string mixed = u"Lupe – лупа \U0001F50D";
    EXPECT_EQ(ToWide(ToNarrow(mixed)), mixed);
    EXPECT_EQ(ToNarrow(u"\xD800x"), "\xEF\xBF\xBDx");  // an unpaired surrogate
    EXPECT_EQ(ToWide(std::string(4096, 'a'), 4096).size(), 4096u);
    EXPECT_EQ(ToWide(std::string(4097, 'a'), 4096), u"");  // too long for the limit: the empty text
}

TEST(WideText, AsciiCaseFolding) {
    EXPECT_TRUE(text::EqualsIgnoreAsciiCase(u"de-DE", u"DE-de"));
    EXPECT_FALSE(text::EqualsIgnoreAsciiCase(u"de-DE", u"de-DEx"));
    EXPECT_FALSE(text::EqualsIgnoreAsciiCase(u"Ä", u"ä"));  // only A-Z fold
    EXPECT_EQ(text::ToLowerAscii("LentoraApp.EXE"), "lentoraapp.exe");
}
