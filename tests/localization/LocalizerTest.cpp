#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>

#include "localization/ILocalizerView.h"
#include "localization/LanguageStrings.h"
#include "localization/LocalizeMenu.h"
#include "support/TempDir.h"

namespace {

class LocalizerTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("en-US.txt", "TRAYMENU_CLOSE Exit Lentora\nNAV.HELP Help\n");
        dir.Write("de-DE.txt", "TRAYMENU_CLOSE Lentora beenden\nNAV.HELP Hilfe\n");
        strings =
            std::make_unique<LanguageStrings>(dir.path() + "/", [] { return std::u16string(u"en-US"); });
        gLanguageStrings = strings.get();
    }
    void TearDown() override { gLanguageStrings = nullptr; }
    TempDir dir;
    std::unique_ptr<LanguageStrings> strings;
};

TEST_F(LocalizerTest, ViewsFollowALanguageChange) {
    ILocalizerView a, b;
    auto* c = new ILocalizerView;
    EXPECT_EQ(ILocalizerView::Views().count(&a), 1u);
    delete c;
    EXPECT_EQ(ILocalizerView::Views().count(c), 0u);

    EXPECT_EQ(a.Localize("NAV.HELP"), "Help");
    QSignalSpy revision(&b, &ILocalizerView::localizeRevisionChanged);
    QSignalSpy changed(&b, &ILocalizerView::PropertyChanged);
    strings->SetLanguage(u"de-DE");
    ILocalizerView::RaiseOnAllViews("Localize");
    EXPECT_EQ(revision.count(), 1);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), "Localize");
    EXPECT_EQ(b.localizeRevision(), 1);
    EXPECT_EQ(a.Localize("NAV.HELP", a.localizeRevision()), "Hilfe");
    EXPECT_EQ(a.Localize("NO.ID"), "NO.ID");
}

TEST_F(LocalizerTest, MenuItemsShowTheirTexts) {
    QMenu menu;
    QAction* close = menu.addAction("TRAYMENU_CLOSE");
    menu.addSeparator();
    QMenu* sub = menu.addMenu("NAV.HELP");
    QAction* unknown = sub->addAction("Not an id");
    LocalizeMenu(&menu);
    EXPECT_EQ(close->text(), "Exit Lentora");
    EXPECT_EQ(sub->title(), "Help");
    EXPECT_EQ(unknown->text(), "Not an id");
    // Localized again after a language change, from the ids kept with the items.
    strings->SetLanguage(u"de-DE");
    LocalizeMenu(&menu);
    EXPECT_EQ(close->text(), "Lentora beenden");
    EXPECT_EQ(sub->title(), "Hilfe");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
