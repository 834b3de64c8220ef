// The Profile page's view model over a magnifier of fake windows: what each edit writes and hands to
// the magnifier, the arrow buttons' rhythm, and what the poll brings back.
#include "ui/Profile.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <memory>

#include "TwoDisplayMagnifier.h"
#include "options/OptionCatalogue.h"
#include "support/LogFile.h"

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { page = std::make_unique<Profile>(); }
    void TearDown() override { page.reset(); }

    TwoDisplayMagnifier world;
    MagnifierDisplay& d = world.d;
    std::unique_ptr<Profile> page;
};

TEST_F(ProfileTest, DisplaysAndFirstLoad) {
    ASSERT_EQ(page->DisplayNames().size(), 2u);
    EXPECT_TRUE(page->IsMultiDisplay());
    EXPECT_EQ(page->FirstDisplay(), QStringLiteral("HDMI-1"));
    EXPECT_EQ(Profile::Current(), page.get());
    // The offset (0, 0) still makes its text and is written back: the cache starts off every pixel.
    QSignalSpy text(page.get(), &Profile::SrcOffsetChanged);
    page->OnLoaded();
    EXPECT_EQ(page->SrcOffset(), QStringLiteral("0, 0"));
    EXPECT_GE(text.size(), 1);
    EXPECT_EQ(options::profileSrcOffset.Text(), "[0, 0]");
    // The selectors pass their choice on: written and handed to the magnifier.
    page->SetTargetDisplaySelected(QStringLiteral("DP-2"));
    EXPECT_EQ(options::profileTargetDisplay.Text(), "DP-2");
    EXPECT_EQ(d.targetIndex, 1);
    page->SetSrcDisplaySelected(QStringLiteral("DP-2"));
    EXPECT_EQ(options::profileSrcDisplay.Text(), "DP-2");
    EXPECT_EQ(d.sourceIndex, 1);
    page.reset();
    EXPECT_EQ(Profile::Current(), nullptr);
}

TEST_F(ProfileTest, HeldArrowStepsUpAndAPauseStartsAgain) {
    page->OnLoaded();
    // A repeat every 50 ms for four seconds: 1 px for the first second, then 3, 4, 5, 6, then 11.
    std::vector<int> steps;
    uint32_t now = 100000;
    double before = page->SrcOffsetX();
    for (int i = 0; i <= 80; ++i, now += 50) {
        page->OnArrowClickAt(QStringLiteral("right"), now);
        steps.push_back(static_cast<int>(page->SrcOffsetX() - before));
        before = page->SrcOffsetX();
    }
    // Click i measures the series up to click i - 1: 50 (i - 1) ms.
    const std::pair<int, int> expected[] = {{1, 1},  {21, 1}, {22, 3}, {30, 3},  {31, 4},
                                            {41, 5}, {51, 6}, {60, 6}, {62, 11}, {80, 11}};
    for (const auto& [click, step] : expected) EXPECT_EQ(steps[static_cast<size_t>(click)], step) << click;
    page->OnArrowClickAt(QStringLiteral("left"), now + 100);  // a pause of 100 ms: a new series
    EXPECT_EQ(static_cast<int>(before - page->SrcOffsetX()), 1);
    page->OnArrowClickAt(QStringLiteral("down"), now + 150);
    page->OnArrowClickAt(QStringLiteral("Down"), now + 200);  // tags are exact
    EXPECT_EQ(page->SrcOffsetY(), 1);
    EXPECT_EQ(d.sourceOffset.x, static_cast<int>(page->SrcOffsetX()));
    page->OnResetSourceOffset();
    EXPECT_EQ(options::profileSrcOffset.Text(), "[0, 0]");
    EXPECT_EQ(d.sourceOffset, (IntPair{0, 0}));
}

TEST_F(ProfileTest, EditsWriteTheirOptionAndReachTheMagnifier) {
    page->SetMagnificationFactor(250.7);
    EXPECT_EQ(options::profileMagnificationFactor.Text(), "250");
    EXPECT_EQ(page->MagnificationFactorStr(), QStringLiteral("x2.5"));
    EXPECT_EQ(d.magnification, 250);
    page->SetMaskDist(490);
    EXPECT_EQ(page->MaskDistStr(), QStringLiteral("0.490"));
    page->OnMaskShapeClick(QStringLiteral("Circle"));
    EXPECT_TRUE(page->IsMaskSelected(1));
    EXPECT_TRUE(page->AreMaskSettingsShown());
    EXPECT_EQ(d.maskType, 1);
    page->OnMaskShapeClick(QStringLiteral("None"));
    EXPECT_FALSE(page->AreMaskSettingsShown());
    page->OnTargetFullscreen();
    EXPECT_EQ(options::profileTargetSize.Text(), "[100000, 100000]");
    EXPECT_EQ(page->TargetSizeStr(), QStringLiteral("100, 100"));
    page->SetTargetOffsetX(-12.5);
    EXPECT_EQ(options::profileTargetOffset.Text(), "[-12500, 0]");
    page->SetTargetOffsetX(3.14159);  // a slider's value: cut to thousandths
    EXPECT_EQ(options::profileTargetOffset.Text(), "[3141, 0]");
    page->SetTargetOffsetX(-12.5);
    EXPECT_EQ(page->TargetOffsetStr(), QStringLiteral("-12, 0"));
    page->OnOuterColorChanged(QColor(127, 0, 255, 255));
    EXPECT_EQ(options::profileMaskOuterColor.Text(), "[0.498039, 0.000000, 1.000000, 1.000000]");
    page->SetMagnificationMouseAdjust(false);
    EXPECT_EQ(options::profileMagnificationMouseAdjust.Text(), "0");
}

TEST_F(ProfileTest, HoldModeHidesAShownViewAndThePollBringsBackTheMagnifiersChanges) {
    d.SetVisible(true);
    d.layerAlpha = 255;
    EXPECT_TRUE(page->MagnifierVisibleFull());
    QSignalSpy hidden(page.get(), &Profile::MagnifierHiddenChanged);
    page->SetMagnificationHold(true);
    EXPECT_FALSE(d.visible);
    EXPECT_TRUE(page->MagnifierHidden());
    EXPECT_EQ(hidden.size(), 1);
    page->SetMagnificationHold(false);
    EXPECT_EQ(hidden.size(), 1);

    // The magnifier changed by itself (wheel, editor drag, clamped size, another display).
    d.magnification = 340;
    d.targetOffset = {700, -49999};
    d.targetSize = {100000, 5000};
    d.sourceOffset = {-3, 8};
    d.targetIndex = 1;
    d.layerAlpha = 128;
    d.visible = true;
    QSignalSpy part(page.get(), &Profile::MagnifierVisiblePartChanged);
    page->PollMagnifier();
    EXPECT_EQ(options::profileMagnificationFactor.Text(), "340");
    EXPECT_EQ(options::profileTargetOffset.Text(), "[700, -49999]");  // exact over the whole range
    EXPECT_EQ(options::profileTargetSize.Text(), "[100000, 5000]");
    EXPECT_EQ(options::profileSrcOffset.Text(), "[-3, 8]");
    EXPECT_EQ(options::profileTargetDisplay.Text(), "DP-2");
    EXPECT_EQ(page->TargetDisplaySelected(), QStringLiteral("DP-2"));
    EXPECT_TRUE(page->MagnifierVisiblePart());
    EXPECT_EQ(part.size(), 1);
    for (int v = -50000; v <= 50000; ++v) {
        d.targetOffset = {v, 0};
        page->PollMagnifier();
        ASSERT_EQ(options::profileTargetOffset.Text(), "[" + std::to_string(v) + ", 0]");
    }
}

TEST_F(ProfileTest, ATipThatIsNotThereIsLogged) {
    LogFile log;
    page->OnTipMissing(QStringLiteral("tipSource"));
    EXPECT_EQ(log.Find("[APP] FindName <tipSourceContent> failed").size(), 1u);
}

}  // namespace
