// The magnified view on a real X server: shown, hidden, cut by the mask, framed for editing with its
// help panel, and driven by a real mouse (XTest). The screen is read back to check what a user sees.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTest>
#include "integration/FakeInput.h"
#include "integration/FillWindow.h"
#include "magnifier/MagnifierDisplay.h"
#include "magnifier/MonitorList.h"
#include "magnifier/OptionGroup.h"
#include "magnifier/ViewGeometry.h"
#include "options/OptionCatalogue.h"
#include "options/OptionRegistry.h"
#include "platform/OverlayWindow.h"
#include "platform/x11/MouseSpeed.h"
#include "platform/x11/ScreenGrabber.h"
#include "support/PatternWindow.h"

namespace {

using platform::PixelRect;

const PixelRect kView{576, 324, 1344, 756};

class Screen {
public:
    Screen() { grabber_ = platform::ScreenGrabber::Create({0, 0, 1920, 1080}, nullptr); }
    // A fresh copy of the whole screen.
    void Take() {
        QTest::qWait(150);  // a few frames of the view
        // A list other than the last forces a copy; the one corner pixel it leaves out is never looked at.
        toggle_ = !toggle_;
        grabber_->SetIgnoredAreas(toggle_ ? std::vector<PixelRect>{{1919, 1079, 1920, 1080}}
                                          : std::vector<PixelRect>{});
        grabber_->Grab();
    }
    Rgb At(int x, int y) const {
        const uint8_t* p = grabber_->pixels() + static_cast<size_t>(y) * grabber_->stride() + x * 4;
        return {p[2], p[1], p[0]};
    }
    bool ok() const { return grabber_ != nullptr; }

private:
    std::unique_ptr<platform::ScreenGrabber> grabber_;
    bool toggle_ = false;
};

bool Near(const Rgb& a, const Rgb& b, int tolerance = 4) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// Counts the grid points of the view that do not show the pattern enlarged from the source rectangle.
int WrongViewPoints(const Screen& s, const PixelRect& src, int* checked) {
    int wrong = 0;
    *checked = 0;
    for (int vy = 2; vy < kView.height(); vy += 9) {
        for (int vx = 2; vx < kView.width(); vx += 9) {
            const double sx = src.left + (vx + 0.5) * src.width() / kView.width();
            const double sy = src.top + (vy + 0.5) * src.height() / kView.height();
            const int x0 = static_cast<int>(sx - 0.6), x1 = static_cast<int>(sx + 0.6);
            const int y0 = static_cast<int>(sy - 0.6), y1 = static_cast<int>(sy + 0.6);
            if (x0 / kBlock != x1 / kBlock || y0 / kBlock != y1 / kBlock) continue;  // on a block edge
            ++*checked;
            if (!Near(s.At(kView.left + vx, kView.top + vy), PatternAt(x1, y1))) ++wrong;
        }
    }
    return wrong;
}

class LiveViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        pattern = ShowPatternFullScreen();
        ASSERT_NE(pattern, nullptr);
    }
    static void TearDownTestSuite() { delete pattern; }

    void SetUp() override {
        OptionRegistry::Instance().ResetToDefaults();
        d = std::make_unique<MagnifierDisplay>();
        ASSERT_TRUE(d->Create(u""));
        d->ApplyOptions(AllGroups);
        d->OnViewMoved(true);
        d->Start();
        QTest::qWait(300);  // the engine starts on the render thread
        ASSERT_TRUE(screen.ok());
    }
    void TearDown() override {
        d->Destroy();
        d.reset();
        OptionRegistry::Instance().ResetToDefaults();
    }

    // Shows the view and waits until it shows its frames.
    void ShowView() {
        d->SetVisible(true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return d->overlayWindow->IsShown(); }, 5000));
        QTest::qWait(250);
    }

    static PatternWindow* pattern;
    std::unique_ptr<MagnifierDisplay> d;
    Screen screen;
};

PatternWindow* LiveViewTest::pattern = nullptr;

TEST_F(LiveViewTest, ShownTheViewIsThePatternEnlarged) {
    EXPECT_FALSE(d->overlayWindow->IsShown());  // Start hides it
    ShowView();
    screen.Take();
    EXPECT_TRUE(d->overlayWindow->IsShown());
    EXPECT_EQ(d->overlayWindow->WindowRect(), kView);
    int checked = 0;
    EXPECT_EQ(WrongViewPoints(screen, d->SourceRect(768, 432), &checked), 0);
    EXPECT_GT(checked, 1500);
    // Outside the view the screen is untouched; the view does not magnify itself either.
    EXPECT_TRUE(Near(screen.At(100, 100), PatternAt(100, 100)));
    screen.Take();
    EXPECT_EQ(WrongViewPoints(screen, d->SourceRect(768, 432), &checked), 0);

    d->SetVisible(false);
    d->SetVisible(false);  // twice: nothing more
    screen.Take();
    EXPECT_FALSE(d->overlayWindow->IsShown());
    EXPECT_TRUE(Near(screen.At(700, 400), PatternAt(700, 400)));
    EXPECT_TRUE(Near(screen.At(1300, 700), PatternAt(1300, 700)));
}

TEST_F(LiveViewTest, TheCircleLeavesTheCornersToTheDesktop) {
    options::profileMaskType.SetInt(1);
    d->ApplyOptions(OptionGroup::Mask);
    ShowView();
    screen.Take();
    // The corners show what is behind the view (the window is cut to the circle where alpha is not
    // blended, and clear where it is).
    for (const auto& [x, y] :
         {std::pair{kView.left + 3, kView.top + 3}, std::pair{kView.right - 4, kView.bottom - 4}}) {
        EXPECT_TRUE(Near(screen.At(x, y), PatternAt(x, y))) << x << "," << y;
    }
    // Inside the circle the enlarged image, which differs there from what lies behind the view.
    const PixelRect src = d->SourceRect(768, 432);
    int distinguishing = 0;
    for (const auto& [dx, dy] :
         {std::pair{150, 0}, std::pair{-150, 0}, std::pair{0, 120}, std::pair{0, -120}, std::pair{100, 100},
          std::pair{-100, -100}, std::pair{60, 140}, std::pair{-170, 30}}) {
        const int vx = 384 + dx, vy = 216 + dy;
        const double fx = src.left + (vx + 0.5) / 2.0, fy = src.top + (vy + 0.5) / 2.0;
        const int sx = static_cast<int>(fx), sy = static_cast<int>(fy);
        // Points that sample across a block edge blend two colours.
        if (static_cast<int>(fx - 0.6) / kBlock != static_cast<int>(fx + 0.6) / kBlock) continue;
        if (static_cast<int>(fy - 0.6) / kBlock != static_cast<int>(fy + 0.6) / kBlock) continue;
        const Rgb want = PatternAt(sx, sy), behind = PatternAt(kView.left + vx, kView.top + vy);
        if (Near(want, behind, 10)) continue;
        ++distinguishing;
        EXPECT_TRUE(Near(screen.At(kView.left + vx, kView.top + vy), want)) << dx << "," << dy;
    }
    EXPECT_GE(distinguishing, 3);
}

TEST_F(LiveViewTest, EditorModeShowsThePanelAndFollowsTheMouse) {
    options::uiLanguage.SetText("en-US");
    d->SetHelpText(u"Drag with the left button to move the view.\nDrag with the right button to pan.");
    d->SetEditorMode(true);
    // The first editor frame lays the text out (the font list is read then): allow it some time.
    EXPECT_TRUE(QTest::qWaitFor([&] { return d->overlayWindow->IsShown(); }, 5000));
    screen.Take();
    EXPECT_TRUE(d->overlayWindow->IsShown());  // entering the editor from hidden shows the view
    EXPECT_TRUE(d->helpWindow->IsShown());
    // The panel's light fill at the top centre, premultiplied at 90 %.
    EXPECT_TRUE(Near(screen.At(960, 12), Rgb{229, 202, 139}, 8)) << screen.At(960, 12).r;
    // Below the panel, above the view's own frame, the desktop shows.
    EXPECT_TRUE(Near(screen.At(960, 250), PatternAt(960, 250)));

    FakeInput input;
    ASSERT_TRUE(input.ok());
    auto move = [&](int px, int py) {
        input.MoveTo(px, py);
        QTest::qWait(60);
    };
    auto button = [&](unsigned b, bool down) {
        input.Button(b, down);
        QTest::qWait(60);
    };
    // Wheel up one notch: 12 % more.
    move(960, 540);
    button(4, true);
    button(4, false);
    EXPECT_EQ(d->magnification, 212);
    // Right drag 30 to the right and 10 down pans the source by (-30, -10).
    button(3, true);
    move(990, 550);
    button(3, false);
    EXPECT_EQ(d->sourceOffset, (IntPair{-30, -10}));
    // Left drag moves the window.
    button(1, true);
    move(1010, 560);
    move(1040, 580);
    button(1, false);
    EXPECT_EQ(d->overlayWindow->ClientRect().left, kView.left + 50);
    EXPECT_EQ(d->overlayWindow->ClientRect().top, kView.top + 30);
    QTest::qWait(100);
    // The move is read back into the geometry.
    EXPECT_NE(d->targetOffset, (IntPair{0, 0}));

    d->SetEditorMode(false);  // back to hidden, as before the editor
    screen.Take();
    EXPECT_FALSE(d->overlayWindow->IsShown());
    EXPECT_FALSE(d->helpWindow->IsShown());
}

TEST_F(LiveViewTest, AStillScreenIsNotDrawnAgainButASettingsChangeIs) {
    ShowView();
    // Let the first frames settle, then count over a second of a still screen.
    QTest::qWait(300);
    const uint64_t before = d->presentCount;
    QTest::qWait(1000);
    EXPECT_EQ(d->presentCount, before);
    // A change of what the frame depends on composes the frame kept, at once.
    options::profileMagnificationFactor.SetInt(300);
    d->ApplyOptions(OptionGroup::Magnification);
    EXPECT_TRUE(QTest::qWaitFor([&] { return d->presentCount > before; }, 2000));
    QTest::qWait(300);
    const uint64_t after = d->presentCount;
    QTest::qWait(500);
    EXPECT_EQ(d->presentCount, after);
    screen.Take();
    int checked = 0;
    EXPECT_EQ(WrongViewPoints(screen, d->SourceRect(768, 432), &checked), 0);
    EXPECT_GT(checked, 1000);
}

TEST_F(LiveViewTest, AChangeInTheSourceIsDrawnOnceAndOneElsewhereNever) {
    // A window of its own over the pattern, drawn into by Xlib: each fill changes the screen there alone.
    FillWindow game({0, 0, 1920, 1080});
    ASSERT_TRUE(game.shown());
    game.Fill({0, 0, 1920, 1080}, 0x203040);
    ShowView();
    QTest::qWait(300);
    ASSERT_EQ(d->SourceRect(768, 432), (PixelRect{768, 432, 1152, 648}));
    struct Case {
        const char* what;
        PixelRect mark;
        uint32_t rgb;
        uint64_t frames;
    } cases[] = {
        {"outside the source and the view", {100, 100, 150, 150}, 0x40C020, 0},
        {"outside the source, under the view", {600, 350, 640, 390}, 0x40C020, 0},
        {"inside the source, under the view", {900, 500, 940, 540}, 0xC04020, 1},
        {"there again, another colour", {900, 500, 940, 540}, 0x2080E0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const uint64_t before = d->presentCount;
        game.Fill(c.mark, c.rgb);
        QTest::qWait(700);
        EXPECT_EQ(d->presentCount - before, c.frames);
        if (c.frames == 0) continue;
        // The view shows the mark enlarged: source (920, 520) is view point (304, 176).
        screen.Take();
        EXPECT_TRUE(Near(screen.At(kView.left + 304, kView.top + 176),
                         {static_cast<int>(c.rgb >> 16), static_cast<int>(c.rgb >> 8 & 0xFF),
                          static_cast<int>(c.rgb & 0xFF)}));
    }
}

// The program's own placement is never read back (the pixels would round its offsets); the user's is.
TEST_F(LiveViewTest, OnlyTheUsersMovesOfTheViewAreReadBack) {
    ShowView();
    d->targetOffset = {20001, -3333};
    d->PlaceView();
    QTest::qWait(500);  // the X server's reports of the move have come
    EXPECT_EQ(d->targetOffset.x, 20001);
    EXPECT_EQ(d->targetOffset.y, -3333);
    // Moved by someone else (the editor frame's drag does this): read back.
    const PixelRect r = d->overlayWindow->WindowRect();
    d->overlayWindow->MoveTo(r.left + 96, r.top, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return d->targetOffset.x != 20001; }, 3000));
    EXPECT_EQ(d->targetOffset.y,
              ViewGeometry::PlacementOf({0, 0, 1920, 1080}, d->overlayWindow->WindowRect()).offset.y);
}

TEST_F(LiveViewTest, TheMouseSlowsWhileTheViewShows) {
    ASSERT_TRUE(platform::SetMouseSpeed(10));
    d->mouseAdjust = true;
    d->SetVisible(true);
    EXPECT_EQ(platform::GetMouseSpeed(), 5);  // 10 x 100 / 200
    d->SetVisible(false);
    EXPECT_EQ(platform::GetMouseSpeed(), 10);
    d->magnification = 1000;
    ASSERT_TRUE(platform::SetMouseSpeed(3));
    d->SetVisible(true);
    EXPECT_EQ(platform::GetMouseSpeed(), 1);
    d->SetVisible(false);
    EXPECT_EQ(platform::GetMouseSpeed(), 3);
    // The user's own acceleration comes back exactly, whatever the speed scale rounds it to.
    const int accelerations[][3] = {{5, 1, 4}, {7, 4, 2}, {20, 10, 0}, {1, 3, 10}};
    for (const auto& a : accelerations) {
        SCOPED_TRACE(testing::Message() << a[0] << "/" << a[1] << " above " << a[2]);
        ASSERT_TRUE(platform::SetPointerAcceleration(a[0], a[1], a[2]));
        d->SetVisible(true);
        d->SetVisible(false);
        int num = 0, denom = 0, threshold = 0;
        ASSERT_TRUE(platform::GetPointerAcceleration(&num, &denom, &threshold));
        EXPECT_EQ(num, a[0]);
        EXPECT_EQ(denom, a[1]);
        EXPECT_EQ(threshold, a[2]);
    }
    platform::SetMouseSpeed(10);
}

}  // namespace
