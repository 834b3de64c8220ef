// The Profile page itself (its markup and view model) in a window, driven with the keyboard and the
// mouse as a user would, over a magnifier of fake windows: what each control writes and what the
// magnifier is told; every control carries its visible label as its accessible name.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <memory>

#include "ProgramTexts.h"
#include "TwoDisplayMagnifier.h"
#include "localization/LanguageStrings.h"
#include "options/OptionCatalogue.h"
#include "ui/HotkeyButton.h"
#include "ui/Profile.h"

namespace {

class ProfilePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The program's English texts, which the labels and names are checked against.
        strings = std::make_unique<ProgramTexts>();

        window = std::make_unique<QQuickWindow>();
        window->resize(900, 2400);
        component =
            std::make_unique<QQmlComponent>(&engine, QUrl(QStringLiteral("qrc:/LentoraApp/Profile.qml")));
        page.reset(qobject_cast<QQuickItem*>(component->create()));
        ASSERT_NE(page, nullptr) << component->errorString().toStdString();
        page->setParentItem(window->contentItem());
        page->setSize(QSizeF(900, 2400));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        model = qvariant_cast<Profile*>(page->property("model"));
        ASSERT_NE(model, nullptr);
    }
    void TearDown() override {
        page.reset();
        window.reset();
    }

    // Every visible item under the page, depth first.
    void Walk(QQuickItem* item, const std::function<void(QQuickItem*)>& visit) {
        if (!item->isVisible()) return;
        visit(item);
        for (QQuickItem* child : item->childItems()) Walk(child, visit);
    }
    QString NameOf(QQuickItem* item) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(item);
        return a != nullptr ? a->text(QAccessible::Name) : QString();
    }
    // The visible control of that class whose accessible name is name.
    QQuickItem* Control(const char* className, const QString& name) {
        QQuickItem* found = nullptr;
        Walk(page.get(), [&](QQuickItem* i) {
            if (found == nullptr && i->inherits(className) && NameOf(i) == name) found = i;
        });
        EXPECT_NE(found, nullptr) << className << " " << name.toStdString();
        return found;
    }
    // Pressed from the keyboard: focused (as Tab would) and Space.
    void Click(QQuickItem* item) {
        ASSERT_NE(item, nullptr);
        item->forceActiveFocus(Qt::TabFocusReason);
        QTest::keyClick(window.get(), Qt::Key_Space);
    }
    // One step of a slider from the keyboard.
    void StepSlider(const QString& name, Qt::Key key) {
        QQuickItem* slider = Control("QQuickSlider", name);
        ASSERT_NE(slider, nullptr);
        slider->forceActiveFocus();
        QTest::keyClick(window.get(), key);
    }

    TwoDisplayMagnifier world;
    MagnifierDisplay& d = world.d;
    std::unique_ptr<ProgramTexts> strings;
    QQmlEngine engine;
    std::unique_ptr<QQmlComponent> component;
    std::unique_ptr<QQuickWindow> window;
    std::unique_ptr<QQuickItem> page;
    Profile* model = nullptr;
};

TEST_F(ProfilePageTest, LoadsTheStoredProfileAndNamesEveryControl) {
    // No display stored: both selectors take the first listed, write it and tell the magnifier.
    EXPECT_EQ(options::profileSrcDisplay.Text(), "HDMI-1");
    EXPECT_EQ(options::profileTargetDisplay.Text(), "HDMI-1");
    EXPECT_EQ(options::profileSrcOffset.Text(), "[0, 0]");
    // Every control a user can operate has a name, and it is its label.
    int controls = 0;
    QStringList unnamed;
    Walk(page.get(), [&](QQuickItem* i) {
        for (const char* kind : {"QQuickAbstractButton", "QQuickSlider", "QQuickComboBox", "ColorSelector"}) {
            if (!i->inherits(kind)) continue;
            if (i->inherits("QQuickItemDelegate")) continue;  // the selectors' open lists
            ++controls;
            if (NameOf(i).isEmpty()) unnamed << QString::fromLatin1(i->metaObject()->className());
        }
    });
    EXPECT_GT(controls, 25);
    // The page scrolls: its content is as tall as its column of controls, more than the main window's
    // 650 pixels even with the mask rows hidden (it was 0 when the view had to guess).
    EXPECT_GT(page->property("contentHeight").toDouble(), 700.0);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
    for (const char* name : {"Source", "Display", "Magnification", "Position X", "Size Y", "Full screen",
                             "Center view", "Show/hide hotkey", "Slow down the mouse while magnifying",
                             "Hotkey mode", "None", "Circle", "Rectangle", "Reset"}) {
        bool found = false;
        Walk(page.get(), [&](QQuickItem* i) { found = found || NameOf(i) == QString::fromUtf8(name); });
        EXPECT_TRUE(found) << name;
    }
}

TEST_F(ProfilePageTest, EveryTextFollowsALanguageChange) {
    ASSERT_NE(Control("QQuickSlider", QStringLiteral("Magnification")), nullptr);
    ASSERT_EQ(gLanguageStrings->SetLanguage(u"de-DE"), u"de-DE");
    ILocalizerView::RaiseOnAllViews(QStringLiteral("Localize"));
    EXPECT_NE(Control("QQuickSlider", QStringLiteral("Vergrößerung")), nullptr);
    EXPECT_NE(Control("QQuickButton", QStringLiteral("Vollbild")), nullptr);
    bool english = false;
    Walk(page.get(), [&](QQuickItem* i) { english = english || NameOf(i) == QStringLiteral("Full screen"); });
    EXPECT_FALSE(english);
}

TEST_F(ProfilePageTest, ControlsWriteTheirOptionAndMoveTheView) {
    // The magnification slider, by keyboard: one step of 10 %.
    StepSlider(QStringLiteral("Magnification"), Qt::Key_Right);
    EXPECT_EQ(options::profileMagnificationFactor.Text(), "210");
    EXPECT_EQ(d.magnification, 210);

    Click(Control("QQuickButton", QStringLiteral("Full screen")));
    EXPECT_EQ(options::profileTargetSize.Text(), "[100000, 100000]");
    EXPECT_EQ(d.targetSize, (IntPair{100000, 100000}));
    StepSlider(QStringLiteral("Position X"), Qt::Key_Right);
    EXPECT_EQ(options::profileTargetOffset.Text(), "[500, 0]");
    Click(Control("QQuickButton", QStringLiteral("Center view")));
    EXPECT_EQ(options::profileTargetOffset.Text(), "[0, 0]");
    EXPECT_EQ(d.targetOffset, (IntPair{0, 0}));
    StepSlider(QStringLiteral("Size X"), Qt::Key_Left);
    EXPECT_EQ(options::profileTargetSize.Text(), "[99500, 100000]");

    // The mask rows come with a shape.
    bool rowsShown = false;
    Walk(page.get(),
         [&](QQuickItem* i) { rowsShown = rowsShown || NameOf(i) == QStringLiteral("Mask size"); });
    EXPECT_FALSE(rowsShown);
    Click(Control("QQuickRadioButton", QStringLiteral("Circle")));
    EXPECT_EQ(options::profileMaskType.Text(), "1");
    EXPECT_EQ(d.maskType, 1);
    const int before = options::profileMaskDist.Int();
    StepSlider(QStringLiteral("Mask size"), Qt::Key_Left);
    EXPECT_EQ(options::profileMaskDist.Int(), before - 5);
    EXPECT_NEAR(d.maskDist, (before - 5) / 1000.0, 1e-6);

    // The arrows move the source offset.
    Click(Control("QQuickButton", QStringLiteral("Right")));
    EXPECT_EQ(options::profileSrcOffset.Text(), "[1, 0]");
    EXPECT_EQ(d.sourceOffset, (IntPair{1, 0}));

    // A colour from the picker goes into the option, as 0..1 texts.
    QQuickItem* outer = Control("ColorSelector", QStringLiteral("Outside color"));
    outer->setProperty("color", QColor(127, 0, 255, 128));
    EXPECT_EQ(options::profileMaskOuterColor.Text(), "[0.498039, 0.000000, 1.000000, 0.501961]");

    // A recorded hotkey is stored: F5 pressed and released.
    Click(Control("QQuickButton", QStringLiteral("Show/hide hotkey")));
    ASSERT_NE(HotkeyButton::Recording(), nullptr);
    HotkeyButton::Recording()->OnCapturedKey(116, true);
    HotkeyButton::Recording()->OnCapturedKey(116, false);
    EXPECT_EQ(HotkeyButton::Recording(), nullptr);
    EXPECT_EQ(options::profileHotkeyMagnification.Text(), "116");
}

}  // namespace
