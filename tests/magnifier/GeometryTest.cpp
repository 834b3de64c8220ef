#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "magnifier/MagnifierDisplay.h"
#include "magnifier/MonitorList.h"
#include "magnifier/OptionGroup.h"
#include "options/OptionCatalogue.h"
#include "options/OptionRegistry.h"
#include "platform/DevicePixels.h"
#include "support/FakeWindow.h"
#include "text/WideText.h"

using platform::PixelRect;

namespace {

class GeometryTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Two displays side by side; the right one is odd-sized.
        MonitorList::SetProvider([] {
            return std::vector<MonitorEntry>{{11, {0, 0, 1920, 1080}, u"HDMI-1"},
                                             {22, {1920, 0, 1920 + 1921, 1081}, u"DP-2"}};
        });
        OptionRegistry::Instance().ResetToDefaults();
        auto view = std::make_unique<FakeWindow>(100);
        auto help = std::make_unique<FakeWindow>(101);
        this->view = view.get();
        this->help = help.get();
        d.UseWindows(std::move(view), std::move(help));
        d.SetActiveWindowSource([this] { return active; });
        d.SetMainWindow(&main);
    }
    void TearDown() override { OptionRegistry::Instance().ResetToDefaults(); }

    MagnifierDisplay d;
    FakeWindow* view = nullptr;
    FakeWindow* help = nullptr;
    FakeWindow main{200};
    uint64_t active = 0;
};

TEST_F(GeometryTest, InitialState) {
    MagnifierDisplay fresh;
    EXPECT_EQ(fresh.sourceIndex, -1);
    EXPECT_EQ(fresh.targetIndex, 0);
    EXPECT_EQ(fresh.magnification, 200);
    EXPECT_TRUE(fresh.visible);
    EXPECT_TRUE(fresh.restartCapture);
    EXPECT_EQ(fresh.targetSize, (IntPair{100, 100}));
    EXPECT_FLOAT_EQ(fresh.maskDist, 0.5f);
    EXPECT_EQ(fresh.layerAlpha, 0);
    // Never selected: the first display, and the index becomes 0.
    EXPECT_EQ(fresh.DisplayRect(fresh.sourceIndex), (PixelRect{0, 0, 1920, 1080}));
    EXPECT_EQ(fresh.sourceIndex, 0);
}

TEST_F(GeometryTest, SourceRectangles) {
    struct Case {
        const char* display;
        IntPair offset;
        int magnification, viewW, viewH;
        PixelRect rect;
    } cases[] = {
        {"HDMI-1", {0, 0}, 200, 400, 300, {860, 465, 1060, 615}},
        {"DP-2", {0, 0}, 200, 400, 300, {860, 465, 1060, 615}},  // odd width 1921: same centre 960
        {"HDMI-1", {10, -5}, 200, 400, 300, {870, 460, 1070, 610}},
        {"HDMI-1", {0, 0}, 350, 768, 432, {850, 478, 1070, 602}},  // 109.7 and 61.7 round to the nearest
        {"HDMI-1", {0, 0}, 100, 768, 432, {576, 324, 1344, 756}},
        {"HDMI-1", {0, 0}, 0, 400, 300, {760, 390, 1160, 690}},  // 0 from a hand-edited file: as 100
        {"HDMI-1", {0, 0}, -50, 400, 300, {760, 390, 1160, 690}},
        {"HDMI-1", {1000, 0}, 200, 400, 300, {1860, 465, 2060, 615}},  // not clamped to the display
    };
    for (const auto& c : cases) {
        d.SelectSourceDisplay(text::ToWide(c.display));
        d.sourceOffset = c.offset;
        d.magnification = c.magnification;
        EXPECT_EQ(d.SourceRect(c.viewW, c.viewH), c.rect) << c.display << " " << c.magnification;
    }
}

TEST_F(GeometryTest, PlacingTheView) {
    struct Case {
        const char* display;
        IntPair offset, size;
        PixelRect rect;
    } cases[] = {
        {"HDMI-1", {0, 0}, {40000, 40000}, {576, 324, 1344, 756}},
        {"HDMI-1", {0, 0}, {100000, 100000}, {0, 0, 1920, 1080}},
        {"HDMI-1", {-25000, 25000}, {40000, 40000}, {96, 594, 864, 1026}},
        {"DP-2", {0, 0}, {40000, 40000}, {1920 + 576, 324, 1920 + 1344, 756}},
        {"unknown", {0, 0}, {40000, 40000}, {576, 324, 1344, 756}},  // falls back to entry 0
    };
    for (const auto& c : cases) {
        d.SelectTargetDisplay(text::ToWide(c.display), false);
        d.targetOffset = c.offset;
        d.targetSize = c.size;
        d.PlaceView();
        EXPECT_EQ(view->rect, c.rect) << c.display;
        EXPECT_EQ(d.targetWidthPx, c.rect.width());
        EXPECT_EQ(d.targetHeightPx, c.rect.height());
        EXPECT_FALSE(d.positioning);
    }
}

TEST_F(GeometryTest, ApplyOptionsClampsAndSelects) {
    options::profileTargetSize.SetPair(1000, 200000);
    options::profileTargetOffset.SetPair(-60000, 70000);
    options::profileTargetDisplay.SetText("DP-2");
    options::profileSrcDisplay.SetText("nothing like it");
    options::profileSrcOffset.SetText("[12, oops]");
    options::profileMagnificationFactor.SetInt(5000);  // not clamped
    options::profileMaskTransColor.SetColor(0.25f, 0.5f, 0.75f, 1);
    options::profileMaskOuterColor.SetText("[1, 0.5]");
    options::profileMaskDist.SetInt(250);
    options::profileMaskTransdist.SetInt(20);
    options::profileMaskType.SetInt(2);
    options::profileMagnificationMouseAdjust.SetInt(7);
    d.ApplyOptions(AllGroups);
    EXPECT_EQ(d.targetSize, (IntPair{5000, 100000}));
    EXPECT_EQ(d.targetOffset, (IntPair{-50000, 50000}));
    EXPECT_EQ(d.targetIndex, 1);
    EXPECT_EQ(help->rect, (PixelRect{1920, 0, 3841, 1081}));  // the help window covers the target display
    EXPECT_EQ(d.sourceIndex, 0);
    EXPECT_EQ(d.sourceMonitor, 11u);
    EXPECT_EQ(d.sourceOffset, (IntPair{12, 0}));
    EXPECT_EQ(d.magnification, 5000);
    EXPECT_FLOAT_EQ(d.transitionColor.g, 0.5f);
    EXPECT_FLOAT_EQ(d.outerColor.g, 0.5f);
    EXPECT_FLOAT_EQ(d.outerColor.b, 0.0f);
    EXPECT_FLOAT_EQ(d.maskDist, 0.25f);
    EXPECT_FLOAT_EQ(d.transitionDist, 0.02f);
    EXPECT_EQ(d.maskType, 2);
    EXPECT_TRUE(d.mouseAdjust);
    // The source is made anew: a new generation is handed to the render thread.
    EXPECT_FALSE(d.restartCapture);
    EXPECT_GT(d.PublishedSettings().sourceGeneration, 0u);
    // Offsets at their limits put the centre of the 5 % by 100 % view on DP-2's bottom-left corner.
    EXPECT_EQ(view->rect, (PixelRect{1871, 540, 1968, 1621}));
}

TEST_F(GeometryTest, ReadingAMovedViewBack) {
    d.SelectTargetDisplay(u"HDMI-1", false);
    d.targetOffset = {0, 0};
    d.targetSize = {40000, 40000};
    d.PlaceView();
    d.OnViewMoved(false);  // where it was put: nothing changes
    EXPECT_EQ(d.targetOffset, (IntPair{0, 0}));
    EXPECT_EQ(d.targetSize, (IntPair{40000, 40000}));

    view->rect = {100, 50, 900, 450};  // dragged and resized by the user
    d.OnViewMoved(false);
    EXPECT_EQ(d.targetWidthPx, 800);
    EXPECT_EQ(d.targetHeightPx, 400);
    EXPECT_EQ(d.targetSize, (IntPair{41666, 37037}));
    EXPECT_EQ(d.targetOffset, (IntPair{-23958, -26851}));
    // Placing it from the values read back puts it where the user left it, to a pixel.
    d.PlaceView();
    EXPECT_NEAR(view->rect.left, 100, 1);
    EXPECT_NEAR(view->rect.top, 50, 1);
    EXPECT_NEAR(view->rect.right, 900, 1);

    view->rect = {1920 + 10, 10, 1920 + 210, 110};  // onto the second display: it becomes the target
    d.OnViewMoved(false);
    EXPECT_EQ(d.targetIndex, 1);
    EXPECT_EQ(d.targetMonitor, 22u);
    EXPECT_EQ(help->rect, (PixelRect{1920, 0, 3841, 1081}));

    view->rect = {-5000, -5000, -4800, -4900};  // on no display: back to the first one's corner
    d.OnViewMoved(false);
    EXPECT_EQ(view->rect.left, 0);
    EXPECT_EQ(view->rect.top, 0);
    EXPECT_EQ(d.targetIndex, 0);
}

TEST_F(GeometryTest, EditorModeReadsTheClientArea) {
    view->frame = 4;
    view->caption = 20;
    view->rect = {572, 300, 1348, 760};
    d.editorMode = true;
    d.OnViewMoved(false);
    EXPECT_EQ(d.targetWidthPx, 768);
    EXPECT_EQ(d.targetHeightPx, 432);
}

TEST_F(GeometryTest, OverlapAlphaAndStatus) {
    view->rect = {0, 0, 800, 600};
    struct Case {
        PixelRect mainRect;
        uint64_t active;
        uint8_t alpha;
    } cases[] = {
        {{100, 100, 500, 400}, 200, 0},     // the main window wholly over the view
        {{600, 100, 1000, 400}, 200, 128},  // half of it: 255 - 127
        {{600, 100, 1000, 400}, 100, 128},  // the view itself in front counts too
        {{600, 100, 1000, 400}, 300, 255},  // another window in front: full
        {{900, 100, 1300, 400}, 200, 255},  // no overlap
        {{600, 100, 1000, 400}, 0, 255},    // nothing known in front
    };
    for (const auto& c : cases) {
        main.rect = c.mainRect;
        active = c.active;
        EXPECT_EQ(d.OverlapAlpha(), c.alpha);
    }
    d.visible = false;
    EXPECT_STREQ(d.StatusName(), "MagnifierHidden");
    d.visible = true;
    d.layerAlpha = 245;
    EXPECT_STREQ(d.StatusName(), "MagnifierVisibleFull");
    d.layerAlpha = 244;
    EXPECT_STREQ(d.StatusName(), "MagnifierVisiblePart");
}

}  // namespace

namespace {

// A view placed in physical pixels under a scaled desktop reads back where it was put: edges of any
// logical rectangle survive the trip exactly, and physical edges survive once they came from one.
TEST(DevicePixels, OneRuleBothWays) {
    for (const double dpr : {1.0, 1.25, 1.5, 2.0}) {
        for (int logical = -300; logical <= 3000; ++logical) {
            const int physical = platform::ToPhysical(logical, dpr);
            ASSERT_EQ(platform::ToLogical(physical, dpr), logical) << dpr << " " << logical;
        }
        for (int physical = -300; physical <= 3000; ++physical) {
            const int once = platform::ToPhysical(platform::ToLogical(physical, dpr), dpr);
            ASSERT_EQ(platform::ToPhysical(platform::ToLogical(once, dpr), dpr), once)
                << dpr << " " << physical;
            ASSERT_LE(std::abs(once - physical), static_cast<int>(std::ceil(dpr / 2)))
                << dpr << " " << physical;
        }
    }
}

}  // namespace
