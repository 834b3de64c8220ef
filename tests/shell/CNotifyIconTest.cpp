#include <gtest/gtest.h>

#include <QAction>
#include <QWindow>
#include <cstdlib>
#include <memory>

#include "hotkeys/RecordingWindow.h"
#include "localization/LanguageStrings.h"
#include "shell/CNotifyIcon.h"

namespace {

TEST(CNotifyIconTipTest, KeepsAtMostSixtyThreeCodeUnits) {
    const QString of63(63, QLatin1Char('a'));
    struct Case {
        const char* name;
        QString tip, shown;
    };
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two code units
    const Case cases[] = {
        {"short", "Lentora", "Lentora"},
        {"empty", "", ""},
        {"exactly 63", of63, of63},
        {"64 cut to 63", of63 + "b", of63},
        {"far longer", QString(300, QLatin1Char('x')), QString(63, QLatin1Char('x'))},
        // A pair across the cut goes whole: no lone half of a character is shown.
        {"pair across the cut", QString(62, QLatin1Char('a')) + emoji + "z", QString(62, QLatin1Char('a'))},
        {"pair just inside", QString(61, QLatin1Char('a')) + emoji + "z",
         QString(61, QLatin1Char('a')) + emoji},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CNotifyIcon::CutText(c.tip, CNotifyIcon::kShownTipLength), c.shown) << c.name;
    }
}

class CNotifyIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(200, 100);
        icon = std::make_unique<CNotifyIcon>(&window, &commands);
    }
    void TearDown() override {
        icon.reset();
        delete gLanguageStrings;
        gLanguageStrings = nullptr;
    }
    static std::string LocaleFolder() {
        const char* src = std::getenv("LENTORA_SOURCE_DIR");
        return std::string(src != nullptr ? src : ".") + "/resources/locale/";
    }
    // What the user sees when the menu opens.
    QStringList OpenMenu() {
        emit icon->menu().aboutToShow();
        QStringList texts;
        for (QAction* a : icon->menu().actions()) texts << a->text();
        return texts;
    }

    QWindow window;
    RecordingWindow commands;
    std::unique_ptr<CNotifyIcon> icon;
};

TEST_F(CNotifyIconTest, SetTipShowsTheCutTipAndKeepsTheWhole) {
    const QString longTip = QString(100, QLatin1Char('t'));
    icon->SetTip(longTip);
    EXPECT_EQ(icon->icon().toolTip(), QString(63, QLatin1Char('t')));
    EXPECT_EQ(icon->Tip(), longTip);
    icon->SetTip(QString(300, QLatin1Char('u')));
    EXPECT_EQ(icon->Tip(), QString(255, QLatin1Char('u')));
    icon->SetTip("Lentora");
    EXPECT_EQ(icon->icon().toolTip(), "Lentora");
}

TEST_F(CNotifyIconTest, MenuHasTheProgramIconAndOneItemLocalizedEachTimeItOpens) {
    EXPECT_FALSE(icon->icon().icon().isNull());
    EXPECT_EQ(OpenMenu(), QStringList{"TRAYMENU_CLOSE"}) << "without language tables the id stands";
    gLanguageStrings = new LanguageStrings(LocaleFolder(), [] { return u"en-US"; });
    gLanguageStrings->SetLanguage(u"en-US");
    EXPECT_EQ(OpenMenu(), QStringList{"Exit Lentora"});
    gLanguageStrings->SetLanguage(u"de-DE");
    EXPECT_EQ(OpenMenu(), QStringList{"Lentora beenden"});
}

TEST_F(CNotifyIconTest, MenuItemPostsTheCloseCommand) {
    ASSERT_EQ(icon->menu().actions().size(), 1);
    icon->menu().actions().first()->trigger();
    EXPECT_EQ(commands.Take(), (std::vector<Posted>{{0x0111, 40001, 0}}));
}

TEST_F(CNotifyIconTest, LeftClicksBringTheWindowBackOtherClicksDoNot) {
    using Reason = QSystemTrayIcon::ActivationReason;
    struct Case {
        const char* name;
        void (*prepare)(QWindow&);
        Reason reason;
        bool restores;
    };
    auto minimize = [](QWindow& w) { w.showMinimized(); };
    const Case cases[] = {
        {"click, minimized", minimize, QSystemTrayIcon::Trigger, true},
        {"click, hidden", [](QWindow& w) { w.hide(); }, QSystemTrayIcon::Trigger, true},
        {"click, shown", [](QWindow& w) { w.showNormal(); }, QSystemTrayIcon::Trigger, true},
        // A quick second left click arrives as a double click.
        {"double click, minimized", minimize, QSystemTrayIcon::DoubleClick, true},
        {"right click", minimize, QSystemTrayIcon::Context, false},
        {"middle click", minimize, QSystemTrayIcon::MiddleClick, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.showNormal();
        c.prepare(window);
        const bool wasShown = window.isVisible() && !(window.windowStates() & Qt::WindowMinimized);
        icon->HandleActivated(c.reason);
        const bool shown = window.isVisible() && !(window.windowStates() & Qt::WindowMinimized);
        EXPECT_EQ(shown, c.restores || wasShown);
    }
    EXPECT_TRUE(commands.Take().empty());
}

}  // namespace
