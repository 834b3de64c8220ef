// The Settings, Help, Reticula and translation-viewer view models over the program's language files and
// a magnifier of fake windows: the language list as start-up writes it, the language change over every
// view and the help panel, what each toggle writes and starts, and the addresses handed to the browser.
#include "ui/Settings.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramTexts.h"
#include "TwoDisplayMagnifier.h"
#include "localization/LanguageStrings.h"
#include "options/OptionCatalogue.h"
#include "platform/posix/Paths.h"
#include "platform/qt/Browser.h"
#include "support/LogFile.h"
#include "text/WideText.h"
#include "ui/Help.h"
#include "ui/LanguageChoices.h"
#include "ui/Localization.h"
#include "ui/Reticula.h"

namespace {

std::string Units(const std::u16string& s) {
    std::string out = "[";
    for (char16_t u : s) out += (out.size() > 1 ? "," : "") + std::to_string(static_cast<unsigned>(u));
    return out + "]";
}

// The list as start-up writes it for the three language files.
std::string ThreeLanguages() {
    return "{\"de-DE\":" + Units(u"Deutsch") + ",\"en-US\":" + Units(u"English") +
           ",\"ru-RU\":" + Units(u"Русский") + "}";
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        options::uiLanguage.SetText(text::ToNarrow(strings->SetLanguage(u"en-US")));
        GetOrCreateOption(options::kLanguagesJsonKey, true).SetText(ThreeLanguages());
        Settings::SetLogonTaskHandler([this](const std::string& path) {
            logonCalls.push_back(path);
            return true;
        });
        page = std::make_unique<Settings>();
    }
    void TearDown() override {
        page.reset();
        Settings::SetLogonTaskHandler(nullptr);
    }

    std::vector<QString> Locales() const {
        std::vector<QString> out;
        for (const LanguageOpt* o : page->Languages()) out.push_back(o->Locale());
        return out;
    }

    TwoDisplayMagnifier world;
    ProgramTexts strings;
    std::unique_ptr<Settings> page;
    std::vector<std::string> logonCalls;
};

TEST(LanguageChoices, ReadsWhatItCanAndTellsTheRest) {
    struct Case {
        const char* name;
        std::string json;
        std::vector<QString> locales;
        size_t errors;
    };
    const Case cases[] = {
        {"three, sorted by key bytes",
         "{\"ru-RU\":[82],\"de-DE\":[68],\"en-US\":[69]}",
         {"de-DE", "en-US", "ru-RU"},
         0},
        {"an empty name is a name", "{\"xx\":[]}", {"xx"}, 0},
        {"not JSON", "{\"de-DE\":[68", {}, 1},
        {"empty text", "", {}, 1},
        {"not an object", "[[68]]", {}, 1},
        {"a member that is no list is skipped", "{\"de-DE\":\"Deutsch\",\"en-US\":[69]}", {"en-US"}, 1},
        {"code units out of range or signed", "{\"a\":[65536],\"b\":[-1],\"c\":[1.5],\"d\":[68]}", {"d"}, 3},
    };
    for (const Case& c : cases) {
        std::vector<std::string> errors;
        const std::vector<LanguageChoice> got = ReadLanguageChoices(c.json, &errors);
        std::vector<QString> locales;
        for (const LanguageChoice& l : got) locales.push_back(QString::fromStdString(l.locale));
        EXPECT_EQ(locales, c.locales) << c.name;
        EXPECT_EQ(errors.size(), c.errors) << c.name;
    }
    std::vector<std::string> errors;
    const auto got = ReadLanguageChoices(ThreeLanguages(), &errors);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2].native, u"Русский");
}

TEST_F(SettingsTest, EveryLoadListsTheLanguagesAndReloadsTheTextsEverywhere) {
    LogFile log;
    QSignalSpy listed(page.get(), &Settings::LanguagesChanged);
    page->OnLoaded();
    EXPECT_EQ(listed.size(), 1);
    EXPECT_EQ(Locales(), (std::vector<QString>{"de-DE", "en-US", "ru-RU"}));
    EXPECT_EQ(page->Languages()[0]->Native(), QStringLiteral("Deutsch"));
    EXPECT_EQ(page->StoredLanguage(), QStringLiteral("en-US"));

    // The page hands its selection on at every load, the language already loaded included: every view
    // reads its texts again and the help panel is laid out again.
    Help other;
    const int revision = other.localizeRevision();
    const uint64_t helpRevision = world.d.PublishedSettings().helpRevision;
    page->SetCurrentLang(QStringLiteral("en-US"));
    EXPECT_GT(other.localizeRevision(), revision);
    EXPECT_GT(world.d.PublishedSettings().helpRevision, helpRevision);

    page->SetCurrentLang(QStringLiteral("de-DE"));
    EXPECT_EQ(options::uiLanguage.Text(), "de-DE");
    EXPECT_EQ(other.Localize(QStringLiteral("OPT.LANGUAGE")), QStringLiteral("Sprache"));
    EXPECT_EQ(world.d.PublishedSettings().helpText, strings->GetText("UI.INGAME.HELP"));
    EXPECT_NE(world.d.PublishedSettings().helpText, strings->GetEnglishText("UI.INGAME.HELP"));

    // A locale without a file falls back to English, which is what is stored; a cleared selection
    // changes nothing.
    page->SetCurrentLang(QStringLiteral("fr-FR"));
    EXPECT_EQ(options::uiLanguage.Text(), "en-US");
    page->SetCurrentLang(QString());
    EXPECT_EQ(options::uiLanguage.Text(), "en-US");

    // A damaged list leaves the selector with what could be read, and the log says why.
    GetOrCreateOption(options::kLanguagesJsonKey, true).SetText("{\"de-DE\":[68],\"en-US\":\"English\"}");
    page->OnLoaded();
    EXPECT_EQ(Locales(), (std::vector<QString>{"de-DE"}));
    EXPECT_EQ(log.Find("Read ui.languages_json").size(), 1u);
}

TEST_F(SettingsTest, TogglesWriteTheirOptionsOnlyWhenTheyChange) {
    // Start at logon: the running program's own path, then "OFF"; the same value again starts nothing.
    page->SetAutoStartOpt(true);
    page->SetAutoStartOpt(true);
    EXPECT_EQ(options::appLaunchWindows.Text(), "1");
    EXPECT_TRUE(page->AutoStartOpt());
    page->SetAutoStartOpt(false);
    EXPECT_EQ(options::appLaunchWindows.Text(), "0");
    EXPECT_EQ(logonCalls, (std::vector<std::string>{platform::ExecutablePath(), "OFF"}));

    struct Toggle {
        Option& option;
        void (Settings::*set)(bool);
        bool (Settings::*get)() const;
    };
    const Toggle toggles[] = {
        {options::appStartMinimized, &Settings::SetStartMinimizedOpt, &Settings::StartMinimizedOpt},
        {options::appCloseMinimize, &Settings::SetCloseAsMinimizeOpt, &Settings::CloseAsMinimizeOpt},
        {options::appHotkeyEditorHold, &Settings::SetEditorHold, &Settings::EditorHold},
        {options::appCaptureVisible, &Settings::SetCaptureVisOpt, &Settings::CaptureVisOpt},
    };
    for (const Toggle& t : toggles) {
        (page.get()->*t.set)(true);
        EXPECT_EQ(t.option.Text(), "1") << t.option.key;
        EXPECT_TRUE((page.get()->*t.get)());
        // Any other number that is not 0 reads as on, and is not written over by an "on".
        t.option.SetText("7");
        (page.get()->*t.set)(true);
        EXPECT_EQ(t.option.Text(), "7") << t.option.key;
        (page.get()->*t.set)(false);
        EXPECT_EQ(t.option.Text(), "0") << t.option.key;
    }

    // Capture visibility reaches the view at once.
    page->SetCaptureVisOpt(true);
    EXPECT_TRUE(world.d.PublishedSettings().mainWindowCaptured);
    page->SetCaptureVisOpt(false);
    EXPECT_FALSE(world.d.PublishedSettings().mainWindowCaptured);
}

TEST_F(SettingsTest, EditorHotkeyIsWrittenOnlyWhenItChanges) {
    EXPECT_EQ(page->StoredEditorHotkey(), 10527323);
    options::appHotkeyEditor.SetText(" 10527323");  // what a hand-edited file may hold
    page->OnEditorHotkeyChanged(10527323);
    EXPECT_EQ(options::appHotkeyEditor.Text(), " 10527323");
    page->OnEditorHotkeyChanged(674);
    EXPECT_EQ(options::appHotkeyEditor.Text(), "674");
}

TEST_F(SettingsTest, TranslationViewerListsEveryEnglishIdWithItsTexts) {
    strings->SetLanguage(u"de-DE");
    Localization viewer;
    const std::vector<LangStringListItem*>& rows = viewer.LangStringItems();
    // N distinct ids in the English file, counted here by its lines: N rows.
    std::set<std::string> ids;
    std::istringstream file(TempDir::ReadFile(ProgramTexts::LocaleFolder() + "en-US.txt"));
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.rfind("//", 0) != 0) ids.insert(line.substr(0, line.find(' ')));
    }
    ASSERT_EQ(rows.size(), ids.size());
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_LT(rows[i - 1]->StrID().toStdString(), rows[i]->StrID().toStdString());
    }
    const auto row = [&](const char* id) -> const LangStringListItem& {
        for (const LangStringListItem* r : rows)
            if (r->StrID() == QLatin1String(id)) return *r;
        ADD_FAILURE() << id;
        return *rows.front();
    };
    EXPECT_EQ(row("OPT.LANGUAGE").EngValue(), QStringLiteral("Language"));
    EXPECT_EQ(row("OPT.LANGUAGE").LangValue(), QStringLiteral("Sprache"));

    // A snapshot: an id that enters the English table later shows on a page made afterwards only; one
    // found nowhere shows itself in both columns.
    strings->GetText("NO.SUCH.ID");
    EXPECT_EQ(viewer.count(), static_cast<int>(rows.size()));
    Localization later;
    EXPECT_EQ(later.count(), viewer.count() + 1);
    for (const LangStringListItem* r : later.LangStringItems()) {
        if (r->StrID() != QLatin1String("NO.SUCH.ID")) continue;
        EXPECT_EQ(r->EngValue(), QStringLiteral("NO.SUCH.ID"));
        EXPECT_EQ(r->LangValue(), QStringLiteral("NO.SUCH.ID"));
    }

    // English current: both columns alike on every row.
    strings->SetLanguage(u"en-US");
    for (const LangStringListItem* r : rows)
        EXPECT_EQ(r->EngValue(), r->LangValue()) << r->StrID().toStdString();
}

TEST_F(SettingsTest, PromoButtonsOpenTheSiteForTheLanguageAndTheStore) {
    std::vector<std::string> opened;
    platform::SetBrowserHandler([&](const std::string& address) {
        opened.push_back(address);
        return true;
    });
    Reticula promo;
    for (const char* language : {"ru-RU", "ru-ru", "ru", "en-US"}) {
        options::uiLanguage.SetText(language);
        promo.OnWebsiteClick();
    }
    promo.OnStoreClick();
    platform::SetBrowserHandler(nullptr);
    ASSERT_EQ(opened.size(), 5u);
    EXPECT_NE(opened[0].find("/ru/?"), std::string::npos);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(opened[i].find("/ru/"), std::string::npos) << opened[i];
        EXPECT_NE(opened[i], opened[0]);
    }
    EXPECT_EQ(opened[1], opened[3]);
    for (const std::string& a : opened) {
        const size_t source = a.find("utm_source=lorx"), medium = a.find("utm_medium=app");
        ASSERT_NE(source, std::string::npos) << a;
        ASSERT_NE(medium, std::string::npos) << a;
        EXPECT_LT(source, medium) << a;
    }
}

TEST_F(SettingsTest, HelpVersionIsTheProgramsVersionText) {
    Help help;
    EXPECT_EQ(help.Version(), QStringLiteral("Version 1.0.2047"));
}

}  // namespace
