#include "platform/x11/ScreenGrabber.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>
#include <thread>

#include "DisplayModeChange.h"
#include "PixelRectPrinter.h"
#include "TestWindow.h"
#include "platform/x11/Monitors.h"

namespace {

using platform::PixelRect;
using platform::ScreenGrabber;
using Result = ScreenGrabber::Result;
using namespace std::chrono_literals;

constexpr PixelRect kScreen{0, 0, 1920, 1080};
constexpr uint32_t kBackground = 0x101820;

// Colours whose three channels all differ, so that a swapped channel shows.
struct Block {
    PixelRect rect;
    uint32_t rgb;
};
constexpr Block kPattern[] = {
    {{0, 0, 1, 1}, 0xFF00FF},              // the first pixel
    {{100, 100, 400, 300}, 0x123456},      // A
    {{400, 100, 700, 300}, 0xA0C0E0},      // B, against A's right edge
    {{1800, 1000, 1920, 1080}, 0x654321},  // the last corner
};

struct Point {
    int x, y;
    uint32_t rgb;
};
constexpr Point kPoints[] = {
    {0, 0, 0xFF00FF},
    {1, 0, kBackground},
    {0, 1, kBackground},
    {100, 100, 0x123456},
    {99, 100, kBackground},
    {100, 99, kBackground},
    {399, 299, 0x123456},
    {400, 100, 0xA0C0E0},
    {699, 299, 0xA0C0E0},
    {700, 299, kBackground},
    {699, 300, kBackground},
    {1800, 1000, 0x654321},
    {1799, 1079, kBackground},
    {1919, 1079, 0x654321},
    {1919, 0, kBackground},
    {0, 1079, kBackground},
    // inside the sub-rectangle below
    {301, 151, 0x123456},
    {399, 200, 0x123456},
    {400, 200, 0xA0C0E0},
    {684, 299, 0xA0C0E0},
    {684, 300, kBackground},
    {301, 366, kBackground},
};
// A 384 x 216 source rectangle at odd offsets, across the A/B edge.
constexpr PixelRect kSubArea{301, 151, 685, 367};

// The pixel at screen coordinates (x, y) of the grabber's copy, as 0xRRGGBB.
uint32_t PixelAt(const ScreenGrabber& g, int x, int y) {
    const uint8_t* p =
        g.pixels() + static_cast<ptrdiff_t>(y - g.area().top) * g.stride() + (x - g.area().left) * 4;
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

Result GrabUntil(ScreenGrabber& g, Result want, std::chrono::milliseconds limit = 3000ms) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    Result r = g.Grab();
    while (r != want && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(2ms);
        r = g.Grab();
    }
    return r;
}

// True when every grab over the period gives the same result.
bool Stays(ScreenGrabber& g, Result want, std::chrono::milliseconds period = 200ms) {
    const auto end = std::chrono::steady_clock::now() + period;
    while (std::chrono::steady_clock::now() < end) {
        if (g.Grab() != want) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Grabs until a whole quiet period has passed without a new frame.
bool Settle(ScreenGrabber& g) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (Stays(g, Result::NoChange, 150ms)) return true;
    }
    return false;
}

class ScreenGrabberTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen_.shown()) << "the pattern window never appeared";
        ASSERT_TRUE(TestWindow::RgbVisual(screen_.display()))
            << "the X server's default visual is not 24-bit RGB";
        screen_.Fill(kScreen, kBackground);
        for (const Block& b : kPattern) screen_.Fill(b.rect, b.rgb);
    }

    std::unique_ptr<ScreenGrabber> Make(const PixelRect& area) {
        platform::CallFailure failure;
        auto g = ScreenGrabber::Create(area, &failure);
        EXPECT_TRUE(g) << failure.call << " : " << failure.code;
        return g;
    }

    TestWindow screen_{kScreen};
};

class ScreenGrabberAreaTest : public ScreenGrabberTest, public testing::WithParamInterface<PixelRect> {};

TEST_P(ScreenGrabberAreaTest, FirstGrabCopiesTheScreenPixelForPixel) {
    const PixelRect area = GetParam();
    auto g = Make(area);
    ASSERT_TRUE(g);
    ASSERT_EQ(g->Grab(), Result::NewFrame);
    EXPECT_EQ(g->width(), area.width());
    EXPECT_EQ(g->height(), area.height());
    EXPECT_GE(g->stride(), area.width() * 4);
    for (const Point& p : kPoints) {
        if (!area.Contains({p.x, p.y, p.x + 1, p.y + 1})) continue;
        EXPECT_EQ(PixelAt(*g, p.x, p.y), p.rgb) << "at " << p.x << ", " << p.y;
    }
}

INSTANTIATE_TEST_SUITE_P(Areas, ScreenGrabberAreaTest, testing::Values(kScreen, kSubArea),
                         [](const testing::TestParamInfo<PixelRect>& info) {
                             return info.param == kScreen ? std::string("WholeScreen")
                                                          : std::string("SubRectangle");
                         });

TEST_F(ScreenGrabberTest, RestsOnAStillScreenAndCopiesWhatIsDrawn) {
    auto g = Make(kScreen);
    ASSERT_TRUE(g);
    ASSERT_EQ(g->Grab(), Result::NewFrame);
    ASSERT_TRUE(Settle(*g)) << "new frames keep coming from a still screen";

    screen_.Fill({150, 150, 250, 250}, 0x0F1E2D);
    ASSERT_EQ(GrabUntil(*g, Result::NewFrame), Result::NewFrame);
    EXPECT_EQ(PixelAt(*g, 200, 200), 0x0F1E2Du);
    EXPECT_EQ(PixelAt(*g, 149, 200), 0x123456u);
    EXPECT_EQ(PixelAt(*g, 500, 200), 0xA0C0E0u);
    EXPECT_TRUE(Stays(*g, Result::NoChange)) << "one drawing made more than one frame";
}

struct IgnoreCase {
    const char* name;
    PixelRect drawn;
    std::vector<PixelRect> ignored;
    bool newFrame;
};

TEST_F(ScreenGrabberTest, ChangesOnlyInsideIgnoredAreasAreNoNewFrame) {
    const IgnoreCase cases[] = {
        {"inside one ignored area", {120, 120, 180, 180}, {{100, 100, 400, 300}}, false},
        {"across an ignored area's edge", {380, 120, 420, 180}, {{100, 100, 400, 300}}, true},
        {"covered by two ignored areas together",
         {380, 120, 420, 180},
         {{100, 100, 400, 300}, {400, 100, 700, 300}},
         false},
        {"inside an ignored area reaching off the screen", {0, 0, 50, 50}, {{-100, -100, 400, 300}}, false},
        {"outside every ignored area", {120, 120, 180, 180}, {{1000, 500, 1200, 700}}, true},
        {"without ignored areas", {120, 120, 180, 180}, {}, true},
    };
    auto g = Make(kScreen);
    ASSERT_TRUE(g);
    uint32_t colour = 0x204060;
    for (const IgnoreCase& c : cases) {
        SCOPED_TRACE(c.name);
        g->SetIgnoredAreas(c.ignored);
        ASSERT_TRUE(Settle(*g));
        const int x = (c.drawn.left + c.drawn.right) / 2, y = (c.drawn.top + c.drawn.bottom) / 2;
        const uint32_t before = PixelAt(*g, x, y);
        colour += 0x010203;
        screen_.Fill(c.drawn, colour);
        if (c.newFrame) {
            ASSERT_EQ(GrabUntil(*g, Result::NewFrame), Result::NewFrame);
            EXPECT_EQ(PixelAt(*g, x, y), colour);
        } else {
            EXPECT_TRUE(Stays(*g, Result::NoChange));
            EXPECT_EQ(PixelAt(*g, x, y), before) << "the copy changed without a new frame";
        }
    }
}

TEST_F(ScreenGrabberTest, ADifferentListOfIgnoredAreasCopiesOnce) {
    auto g = Make(kScreen);
    ASSERT_TRUE(g);
    g->SetIgnoredAreas({{100, 100, 400, 300}});
    ASSERT_TRUE(Settle(*g));
    g->SetIgnoredAreas({{100, 100, 400, 300}});
    EXPECT_TRUE(Stays(*g, Result::NoChange, 50ms)) << "the same list again";
    g->SetIgnoredAreas({{100, 100, 200, 300}});
    EXPECT_EQ(g->Grab(), Result::NewFrame);
    EXPECT_TRUE(Stays(*g, Result::NoChange, 50ms));
}

TEST_F(ScreenGrabberTest, ChangesOutsideTheAreaAreNoNewFrame) {
    auto g = Make(kSubArea);
    ASSERT_TRUE(g);
    ASSERT_TRUE(Settle(*g));
    screen_.Fill({1500, 800, 1600, 900}, 0x336699);
    screen_.Fill({kSubArea.right, kSubArea.top, kSubArea.right + 10, kSubArea.bottom}, 0x336699);
    EXPECT_TRUE(Stays(*g, Result::NoChange));
    screen_.Fill({kSubArea.right - 1, kSubArea.bottom - 1, kSubArea.right, kSubArea.bottom}, 0x336699);
    ASSERT_EQ(GrabUntil(*g, Result::NewFrame), Result::NewFrame);
    EXPECT_EQ(PixelAt(*g, kSubArea.right - 1, kSubArea.bottom - 1), 0x336699u);
}

TEST_F(ScreenGrabberTest, CopiesOnlyWhatChangedInTheWatchedPartsAndWakesItsReader) {
    auto g = Make(kSubArea);
    ASSERT_TRUE(g);
    ASSERT_EQ(g->Grab(), Result::NewFrame);
    EXPECT_EQ(g->changedParts(), (std::vector<PixelRect>{{0, 0, 384, 216}})) << "the first copy is whole";
    const std::vector<PixelRect> watched{{350, 180, 450, 250}, {600, 300, 700, 400}};
    g->SetWatchedAreas(watched);
    ASSERT_EQ(g->Grab(), Result::NewFrame);
    // Area coordinates, the second part clipped to the area.
    EXPECT_EQ(g->changedParts(), (std::vector<PixelRect>{{49, 29, 149, 99}, {299, 149, 384, 216}}));
    ASSERT_TRUE(Settle(*g));

    struct Case {
        const char* what;
        PixelRect drawn;
        std::vector<PixelRect> changed;  // area coordinates; none: no new frame
    } cases[] = {
        {"inside the area, outside the watched parts", {310, 160, 340, 170}, {}},
        {"inside a watched part", {360, 190, 370, 200}, {{59, 39, 69, 49}}},
        {"across a watched part's edge", {440, 240, 460, 260}, {{139, 89, 149, 99}}},
        {"in both parts", {420, 200, 620, 320}, {{119, 49, 149, 99}, {299, 149, 319, 169}}},
    };
    uint32_t colour = 0x305070;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(g->ReadyToWait());
        colour += 0x020406;
        screen_.Fill(c.drawn, colour);
        // The reader sleeping on the descriptor wakes for every change of the screen.
        pollfd fd{g->EventFd(), POLLIN, 0};
        EXPECT_EQ(poll(&fd, 1, 3000), 1) << "no wake-up";
        if (c.changed.empty()) {
            EXPECT_TRUE(Stays(*g, Result::NoChange));
            continue;
        }
        ASSERT_EQ(GrabUntil(*g, Result::NewFrame), Result::NewFrame);
        EXPECT_EQ(g->changedParts(), c.changed);
        const PixelRect& first = c.changed.front();
        EXPECT_EQ(PixelAt(*g, kSubArea.left + first.left, kSubArea.top + first.top), colour);
        ASSERT_TRUE(Settle(*g));
    }
}

TEST_F(ScreenGrabberTest, AScreenChangeLosesAccessForGood) {
    auto g = Make(kScreen);
    ASSERT_TRUE(g);
    ASSERT_TRUE(Settle(*g));
    {
        DisplayModeChange change(1600, 900);
        ASSERT_EQ(change.error(), "");
        EXPECT_EQ(GrabUntil(*g, Result::AccessLost), Result::AccessLost);
        ASSERT_EQ(change.Restore(), "");
    }
    EXPECT_EQ(platform::EnumerateMonitors().size(), 1u);
    screen_.Fill({150, 150, 250, 250}, 0x0F1E2D);
    EXPECT_TRUE(Stays(*g, Result::AccessLost)) << "access came back without a new grabber";

    auto again = Make(kScreen);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Grab(), Result::NewFrame);
}

TEST_F(ScreenGrabberTest, CreateRefusesAreasOffTheScreen) {
    const PixelRect areas[] = {
        {0, 0, 0, 0},         {10, 10, 10, 50},    {-1, 0, 100, 100},
        {1821, 0, 1921, 100}, {0, 981, 100, 1081}, {0, 0, 1921, 1080},
    };
    for (const PixelRect& a : areas) {
        SCOPED_TRACE(testing::Message() << a.left << "," << a.top << "," << a.right << "," << a.bottom);
        platform::CallFailure failure{"", -1};
        EXPECT_FALSE(ScreenGrabber::Create(a, &failure));
        EXPECT_EQ(failure.call, "check capture area");
        EXPECT_EQ(failure.code, 0);
    }
    EXPECT_FALSE(ScreenGrabber::Create({-5, -5, 5, 5}, nullptr));
}

}  // namespace
