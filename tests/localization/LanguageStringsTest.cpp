#include "localization/LanguageStrings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "support/TempDir.h"
#include "text/WideText.h"

namespace {

class LanguageStringsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("en-US.txt", "GREETING Hello\nONLY.EN English only\nHOTKEY_NOT_BOUND Not set\n");
        dir.Write("de-DE.txt", "GREETING Hallo\nHOTKEY_NOT_BOUND Nicht belegt\n");
        dir.Write("ru-RU.txt", "GREETING Привет\n");
        dir.Write("notes.md", "not a language\n");
    }
    LanguageStrings Make(std::u16string userLocale = u"en-US") {
        return LanguageStrings(dir.path() + "/", [userLocale] { return userLocale; });
    }
    TempDir dir;
};

TEST_F(LanguageStringsTest, ChoosingALanguage) {
    struct Case {
        std::u16string requested, userLocale, chosen;
        std::string greeting;
    } cases[] = {
        {u"de-DE", u"en-US", u"de-DE", "Hallo"},
        {u"de-de", u"en-US", u"de-de", "Hallo"},  // kept as written, the file found as it is on disk
        {u"DE-de", u"en-US", u"DE-de", "Hallo"},
        {u"de", u"en-US", u"en-US", "Hello"},  // no matching by language alone
        {u"fr-FR", u"en-US", u"en-US", "Hello"},
        {u"", u"ru-RU", u"ru-RU", "Привет"},  // empty: the user's default locale
        {u"", u"pt-BR", u"en-US", "Hello"},
    };
    for (const auto& c : cases) {
        LanguageStrings s = Make(c.userLocale);
        EXPECT_EQ(s.SetLanguage(c.requested), c.chosen);
        EXPECT_EQ(s.GetText("GREETING"), text::ToWide(c.greeting));
    }
}

TEST_F(LanguageStringsTest, LookupFallsBackToEnglishThenTheId) {
    LanguageStrings s = Make();
    s.SetLanguage(u"de-DE");
    EXPECT_EQ(s.GetText("ONLY.EN"), u"English only");
    EXPECT_EQ(s.GetEnglishText("GREETING"), u"Hello");
    EXPECT_EQ(s.GetText(nullptr), u"???");
    EXPECT_EQ(s.englishTable().count("NO.SUCH.ID"), 0u);
    EXPECT_EQ(s.GetText("NO.SUCH.ID"), u"NO.SUCH.ID");
    EXPECT_EQ(s.englishTable().count("NO.SUCH.ID"), 1u);  // collected for the translation viewer
    EXPECT_EQ(s.GetNotBoundText(), "Nicht belegt");
    s.SetLanguage(u"ru-RU");
    EXPECT_EQ(s.GetNotBoundText(), "Not set");
}

TEST_F(LanguageStringsTest, ListsLanguageFilesByName) {
    dir.Write("pt-BR.extra.txt", "X y\n");
    dir.Write("UPPER.TXT", "X y\n");
    LanguageStrings s = Make();
    auto names = s.ListLanguages();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"UPPER", u"de-DE", u"en-US", u"pt-BR", u"ru-RU"}));
}

TEST_F(LanguageStringsTest, AFileThatCannotBeReadLeavesTheTable) {
    LanguageStrings s = Make();
    s.SetLanguage(u"de-DE");
    s.LoadLanguageFile(u"xx-XX");
    EXPECT_EQ(s.GetText("GREETING"), u"Hallo");
}

TEST(LanguageStringsMissing, NoFolderShowsIds) {
    LanguageStrings s("/nonexistent/locale/", [] { return std::u16string(u"de-DE"); });
    EXPECT_TRUE(s.ListLanguages().empty());
    EXPECT_EQ(s.SetLanguage(u""), u"en-US");
    EXPECT_EQ(s.GetText("NAV.HELP"), u"NAV.HELP");
    EXPECT_EQ(s.GetNotBoundText(), "HOTKEY_NOT_BOUND");
}

// The shipped language files: the same ids in every language, and every id the program asks for.
TEST(ShippedLanguageFiles, CompleteAndConsistent) {
    const char* src = std::getenv("LENTORA_SOURCE_DIR");
    ASSERT_NE(src, nullptr);
    const std::string folder = std::string(src) + "/resources/locale/";
    std::map<std::string, LanguageTable> tables;
    for (const char* name : {"en-US", "de-DE", "ru-RU"}) {
        const std::string bytes = TempDir::ReadFile(folder + name + ".txt");
        ASSERT_FALSE(bytes.empty()) << name;
        ParseLanguageFile(bytes, tables[name]);
    }
    auto ids = [](const LanguageTable& t) {
        std::set<std::string> s;
        for (const auto& [id, e] : t) s.insert(id);
        return s;
    };
    EXPECT_EQ(ids(tables["de-DE"]), ids(tables["en-US"]));
    EXPECT_EQ(ids(tables["ru-RU"]), ids(tables["en-US"]));
    for (const char* id :
         {"CURRENT.VERSION", "UI.INGAME.HELP", "TRAYMENU_CLOSE", "HOTKEY_NOT_BOUND", "HOTKEY.BIND.NOPRESS",
          "NAV.PROFILE", "NAV.SETTINGS", "NAV.HELP", "NAV.RETICULA"}) {
        EXPECT_EQ(tables["en-US"].count(id), 1u) << id;
    }
    for (auto& [name, t] : tables) {
        for (const auto& [id, e] : t) EXPECT_FALSE(e.utf16.empty()) << name << " " << id;
        EXPECT_NE(t["UI.INGAME.HELP"].utf8.find('\n'), std::string::npos) << name;  // several lines
    }
}

}  // namespace
