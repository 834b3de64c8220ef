#include <gtest/gtest.h>

#include "capture/DuplicationSource.h"
#include "magnifier/HelpPanel.h"
#include "magnifier/MagnifierDisplay.h"
#include "magnifier/MonitorList.h"
#include "platform/PixelRectParts.h"
#include "support/FakeWindow.h"

namespace {

class EditorInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        MonitorList::SetProvider([] {
            return std::vector<MonitorEntry>{{11, {0, 0, 1920, 1080}, u"screen"}};
        });
        auto w = std::make_unique<FakeWindow>(100);
        view = w.get();
        view->rect = {576, 324, 1344, 756};
        d.UseWindows(std::move(w), nullptr);
        d.editorMode = true;
    }
    MagnifierDisplay d;
    FakeWindow* view = nullptr;
};

TEST_F(EditorInputTest, WheelZoomsWithinLimits) {
    struct Case {
        int start, delta, result;
    } cases[] = {
        {200, 120, 212}, {200, -120, 188}, {995, 120, 1000}, {105, -120, 100},
        {200, 15, 201},  {200, 5, 200},    {50, 0, 100},     {5000, -120, 1000},
    };
    for (const auto& c : cases) {
        d.magnification = c.start;
        d.OnWheel(c.delta);
        EXPECT_EQ(d.magnification, c.result) << c.start << " " << c.delta;
    }
}

TEST_F(EditorInputTest, RightDragPansOneSourcePixelPerPixel) {
    d.sourceOffset = {5, 5};
    d.OnMousePressed(false, 100, 100);
    d.OnMouseMoved(false, true, 110, 104);
    d.OnMouseMoved(false, true, 130, 110);
    d.OnMouseReleased(false, 130, 110);
    EXPECT_EQ(d.sourceOffset, (IntPair{5 - 30, 5 - 10}));
    d.OnMouseMoved(false, true, 200, 200);  // released: no more panning
    EXPECT_EQ(d.sourceOffset, (IntPair{-25, -5}));
}

TEST_F(EditorInputTest, LeftDragMovesTheWindow) {
    d.OnMousePressed(true, 50, 40);
    // The window follows, so the cursor stays at the same client position after each step.
    d.OnMouseMoved(true, false, 60, 45);
    EXPECT_EQ(view->rect.left, 586);
    EXPECT_EQ(view->rect.top, 329);
    d.OnMouseMoved(true, false, 70, 40);
    d.OnMouseReleased(true, 50, 40);
    EXPECT_EQ(view->rect.left, 606);
    EXPECT_EQ(view->rect.top, 329);
    EXPECT_EQ(view->rect.width(), 768);  // moved, not resized
    // Another press while one button holds the mouse starts nothing.
    d.OnMousePressed(false, 0, 0);
    d.OnMousePressed(true, 0, 0);
    d.OnMouseMoved(true, true, 10, 10);
    EXPECT_EQ(view->rect.left, 606);
    EXPECT_EQ(d.sourceOffset, (IntPair{-10, -10}));
}

TEST(HelpFont, TheFamilyRule) {
    using V = std::vector<std::u16string>;
    struct Case {
        V families;
        std::u16string chosen;
    } cases[] = {
        {{}, u"Arial"},
        {{u"Consolas", u"segoe ui", u"Noto Sans"}, u"segoe ui"},
        {{u"Consolas", u"Zapf"}, u"Consolas"},
        {{u"Zapf", u"DejaVu Sans", u"Consolas"}, u"DejaVu Sans"},
        {{u"Zapf", u"Noto Sans", u"DejaVu Sans"}, u"Noto Sans"},
        {{u"Zapf", u"Wingdings"}, u"Zapf"},
    };
    for (const auto& c : cases) EXPECT_EQ(HelpPanel::ChooseFont(c.families), c.chosen);
}

}  // namespace

namespace {

// The parts of a frame a new copy replaces: everything but the program's own windows, exactly once.
TEST(FrameUpload, PartsOutsideTheOwnWindows) {
    using platform::PixelRect;
    struct Case {
        const char* name;
        std::vector<PixelRect> holes;
    } cases[] = {
        {"no windows", {}},
        {"the view", {{576, 324, 1344, 756}}},
        {"view and help panel", {{576, 324, 1344, 756}, {500, 0, 1400, 180}}},
        {"overlapping windows", {{100, 100, 400, 400}, {300, 300, 600, 500}}},
        {"reaching off the frame", {{-50, -50, 100, 2000}}},
        {"outside the frame", {{3000, 0, 3100, 100}}},
        {"the whole frame", {{0, 0, 1920, 1080}}},
    };
    for (const auto& c : cases) {
        const auto parts = DuplicationSource::PartsOutside(1920, 1080, c.holes);
        // Every pixel is covered once by the parts or lies in a hole, never both.
        std::vector<int> cover(1920 * 1080, 0);
        for (const PixelRect& p : parts) {
            ASSERT_FALSE(p.empty()) << c.name;
            for (int y = p.top; y < p.bottom; ++y)
                for (int x = p.left; x < p.right; ++x) ++cover[y * 1920 + x];
        }
        for (int y = 0; y < 1080; y += 7) {
            for (int x = 0; x < 1920; x += 7) {
                bool inHole = false;
                for (const PixelRect& h : c.holes)
                    inHole = inHole || (x >= h.left && x < h.right && y >= h.top && y < h.bottom);
                ASSERT_EQ(cover[y * 1920 + x], inHole ? 0 : 1) << c.name << " at " << x << "," << y;
            }
        }
    }
}

TEST(FrameUpload, WrappedPartsAreWhatARepeatingTextureReads) {
    using platform::PixelRect;
    constexpr int W = 64, H = 48;
    const PixelRect rects[] = {
        {10, 10, 30, 20},       // inside
        {50, 10, 70, 20},       // across the right edge
        {-5, -6, 10, 4},        // across the top-left corner
        {60, 40, 70, 50},       // across the bottom-right corner
        {-100, 200, -90, 210},  // wholly outside, far away
        {-10, 5, 100, 9},       // wider than the image
        {0, 0, 64, 48},         // the image
    };
    for (const PixelRect& r : rects) {
        const auto parts = platform::WrappedParts(r, W, H);
        std::vector<int> cover(W * H, 0);
        for (const PixelRect& p : parts) {
            ASSERT_TRUE(PixelRect({0, 0, W, H}).Contains(p)) << r.left << "," << r.top;
            for (int y = p.top; y < p.bottom; ++y)
                for (int x = p.left; x < p.right; ++x) ++cover[y * W + x];
        }
        std::vector<int> read(W * H, 0);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) read[((y % H + H) % H) * W + ((x % W + W) % W)] = 1;
        EXPECT_EQ(cover, read) << r.left << "," << r.top;  // every pixel read, once, and no other
    }
    EXPECT_TRUE(platform::WrappedParts({5, 5, 5, 9}, W, H).empty());
    EXPECT_TRUE(platform::WrappedParts({0, 0, 4, 4}, 0, H).empty());
}

}  // namespace
