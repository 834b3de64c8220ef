#include "localization/LanguageFile.h"

#include <gtest/gtest.h>

namespace {

LanguageTable Parse(const std::string& bytes) {
    LanguageTable t;
    ParseLanguageFile(bytes, t);
    return t;
}

TEST(LanguageFile, LinesToEntries) {
    struct Case {
        const char* name;
        std::string file;
        std::string id;  // empty: the file must give no entry at all
        std::string text;
    } cases[] = {
        {"plain", "NAV.HELP Help\n", "NAV.HELP", "Help"},
        {"CR LF", "NAV.HELP Help\r\n", "NAV.HELP", "Help"},
        {"no final line feed", "NAV.HELP Help", "NAV.HELP", "Help"},
        {"blanks before, trailing kept", "ID    two  trailing  \n", "ID", "two  trailing  "},
        {"tab as gap", "ID\t\tText\n", "ID", "Text"},
        {"quotes keep leading blanks", "ID \"  spaced  \"\n", "ID", "  spaced  "},
        {"lone quote", "ID \"\n", "ID", ""},
        {"quote inside stays", "ID say \"hi\" now\n", "ID", "say \"hi\" now"},
        {"escapes", "ID a\\tb\\nc\\\\d\\re\n", "ID", "a\tb\nc\\d\re"},
        {"unknown escape is nothing", "ID a\\qb\\\"c\n", "ID", "abc"},
        {"first byte is never an escape", "ID \\n\n", "ID", "\\n"},
        {"first byte backslash, then escape", "ID \\n\\n\n", "ID", "\\n\n"},
        {"literal tab in text dropped", "ID a\tb\n", "ID", "ab"},
        {"control bytes dropped",
         std::string("ID a\x01\x1f"
                     "b\n"),
         "ID", "ab"},
        {"only an id", "ID\n", "ID", ""},
        {"lone slash is an id", "/ slash\n", "/", "slash"},
        {"utf-8 bytes pass", "ID \xD0\x9F\xD1\x80\xD0\xB8\n", "ID", "\xD0\x9F\xD1\x80\xD0\xB8"},
        {"file bom skipped", "\xEF\xBB\xBFID x\n", "ID", "x"},
        {"comment", "// ID x\n", "", ""},
        {"comment without blank", "//ID x\n", "", ""},
        {"indented line ignored", "  ID x\n", "", ""},
        {"empty line", "\n\n", "", ""},
    };
    for (const auto& c : cases) {
        const LanguageTable t = Parse(c.file);
        if (c.id.empty()) {
            EXPECT_TRUE(t.empty()) << c.name;
            continue;
        }
        ASSERT_EQ(t.size(), 1u) << c.name;
        ASSERT_EQ(t.count(c.id), 1u) << c.name;
        EXPECT_EQ(t.at(c.id).utf8, c.text) << c.name;
    }
}

TEST(LanguageFile, LaterLinesWinAndFormsDiffer) {
    const LanguageTable t = Parse("A first\nB \xEF\xBB\xBFwith bom\nA second\n");
    EXPECT_EQ(t.at("A").utf8, "second");
    EXPECT_EQ(t.at("A").utf16, u"second");
    // A byte-order mark at the start of a text stays in the UTF-8 form only.
    EXPECT_EQ(t.at("B").utf8, "\xEF\xBB\xBFwith bom");
    EXPECT_EQ(t.at("B").utf16, u"with bom");
}

TEST(LanguageFile, TextsTooLongForDisplayAreEmpty) {
    const LanguageTable t = Parse("LONG " + std::string(5000, 'x') + "\n");
    EXPECT_EQ(t.at("LONG").utf8.size(), 5000u);
    EXPECT_EQ(t.at("LONG").utf16, u"");
}

}  // namespace
