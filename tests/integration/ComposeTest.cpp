// A known pattern on a real X server is copied by the duplication source and composed by the render
// engine; the view's pixels must be the pattern enlarged, cut by the mask exactly as the formulas say.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QTest>
#include <cmath>

#include "capture/DuplicationSource.h"
#include "magnifier/MagnifierRenderer.h"
#include "magnifier/MonitorList.h"
#include "magnifier/ViewGeometry.h"
#include "render/RenderEngine.h"
#include "render/RenderTexture.h"
#include "support/PatternWindow.h"

namespace {

struct Color4 {
    double r, g, b, a;
};

Color4 Premul(Color4 c) { return {c.r * c.a, c.g * c.a, c.b * c.a, c.a}; }
Color4 Lerp(Color4 a, Color4 b, double t) {
    return {a.r + t * (b.r - a.r), a.g + t * (b.g - a.g), a.b + t * (b.b - a.b), a.a + t * (b.a - a.a)};
}

struct MaskCase {
    const char* name;
    int magnification, viewW, viewH, maskType;
    float maskDist, transitionDist;
    ColorF outer, transition;
};

class ComposeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        window = ShowPatternFullScreen();
        ASSERT_NE(window, nullptr);
        MonitorList::EnsureMonitorList();
        renderer = std::make_unique<MagnifierRenderer>();
        std::u16string failure;
        ASSERT_TRUE(renderer->Start(&failure));
        settings.sourceMonitor = MonitorList::First().handle;
        settings.sourceDisplay = MonitorList::First().bounds;
        ASSERT_TRUE(renderer->EnsureFrameSource(settings));
    }
    static void TearDownTestSuite() {
        renderer.reset();
        delete window;
    }

    static platform::PixelRect SourceRect(int viewW, int viewH) {
        return ViewGeometry::SourceRect(settings.sourceDisplay, settings.sourceOffset, settings.magnification,
                                        viewW, viewH);
    }

    // Composes one frame of the given view and returns its RGBA pixels, rows from the top.
    std::vector<unsigned char> Compose(const MaskCase& c) {
        settings.magnification = c.magnification;
        settings.viewWidth = c.viewW;
        settings.viewHeight = c.viewH;
        settings.maskType = c.maskType;
        settings.maskDist = c.maskDist;
        settings.transitionDist = c.transitionDist;
        settings.outerColor = c.outer;
        settings.transitionColor = c.transition;
        renderer->ComposeFrame(settings);
        return renderer->engine()->ReadPixels(*renderer->viewTarget());
    }

    // The image's colour at a view pixel, or false when the point samples across a block edge.
    static bool ImageAt(const platform::PixelRect& src, int viewW, int viewH, int vx, int vy, Rgb* out) {
        const double sx = src.left + (vx + 0.5) * src.width() / viewW;
        const double sy = src.top + (vy + 0.5) * src.height() / viewH;
        const int x0 = static_cast<int>(std::floor(sx - 0.51)), x1 = static_cast<int>(std::floor(sx + 0.51));
        const int y0 = static_cast<int>(std::floor(sy - 0.51)), y1 = static_cast<int>(std::floor(sy + 0.51));
        if (x0 < 0 || y0 < 0 || x1 >= 1920 || y1 >= 1080) return false;
        if (x0 / kBlock != x1 / kBlock || y0 / kBlock != y1 / kBlock) return false;
        *out = PatternAt(x1, y1);
        return true;
    }

    // The mask's formulas on the CPU. False where the point lies on a branch boundary or samples across a
    // block edge, so float rounding could go either way.
    static bool Expected(const MaskCase& c, const platform::PixelRect& src, int vx, int vy, Color4* out) {
        const double W = 1920, H = 1080;
        const double u = (src.left + (vx + 0.5) * src.width() / c.viewW) / W;
        const double v = (src.top + (vy + 0.5) * src.height() / c.viewH) / H;
        Rgb img{};
        const bool haveImage = ImageAt(src, c.viewW, c.viewH, vx, vy, &img);
        const Color4 im{img.r / 255.0, img.g / 255.0, img.b / 255.0, 1.0};
        const Color4 outer{c.outer.r, c.outer.g, c.outer.b, c.outer.a};
        const Color4 trans{c.transition.r, c.transition.g, c.transition.b, c.transition.a};
        const double md = c.maskDist, td = c.transitionDist, inner = md - td * 0.5, outerD = md + td * 0.5;
        constexpr double eps = 0.004;
        auto near = [](double a, double b) { return std::abs(a - b) < eps; };
        if (c.maskType == 0) {
            *out = im;
            return haveImage;
        }
        const double uc = (src.left + src.right) * 0.5 / W, vc = (src.top + src.bottom) * 0.5 / H;
        if (c.maskType == 1) {
            const double s = std::min(src.width(), src.height());
            const double d = std::hypot((u - uc) * W / s, (v - vc) * H / s);
            if (near(d, inner) || near(d, outerD) || near(d, md)) return false;
            if (inner >= d) return (*out = im, haveImage);
            if (d > outerD) return (*out = Premul(outer), true);
            const double t = 2 * (d - md) / td;
            if (t < 0) return (*out = Premul(Lerp(trans, im, -t)), haveImage);
            return (*out = Premul(Lerp(trans, outer, t)), true);
        }
        const double px = std::abs(u - uc) / (src.width() / W), py = std::abs(v - vc) / (src.height() / H);
        const double qx = px - inner, qy = py - inner;
        if (near(qx, 0) || near(qy, 0) || near(qx, td) || near(qy, td)) return false;
        if (qx <= 0 && qy <= 0) return (*out = im, haveImage);
        if (qx > td || qy > td) return (*out = Premul(outer), true);
        const double k = std::max(qx / td, qy / td);
        if (std::abs(k - 0.5) < 0.01) return false;
        if (k < 0.5) return (*out = Premul(Lerp(im, trans, 2 * k)), haveImage);
        return (*out = Premul(Lerp(trans, outer, 2 * k - 1)), true);
    }

    // Compares a grid of points; returns how many were checked.
    int CheckGrid(const MaskCase& c, const std::vector<unsigned char>& px) {
        const platform::PixelRect src = SourceRect(c.viewW, c.viewH);
        int checked = 0, wrong = 0;
        for (int vy = 0; vy < c.viewH; vy += 5) {
            for (int vx = 0; vx < c.viewW; vx += 5) {
                Color4 e{};
                if (!Expected(c, src, vx, vy, &e)) continue;
                const unsigned char* p = &px[(static_cast<size_t>(vy) * c.viewW + vx) * 4];
                const double got[4] = {p[0] / 255.0, p[1] / 255.0, p[2] / 255.0, p[3] / 255.0};
                const double want[4] = {e.r, e.g, e.b, e.a};
                ++checked;
                for (int k = 0; k < 4; ++k) {
                    if (std::abs(got[k] - want[k]) > 3.0 / 255 && wrong++ < 5) {
                        ADD_FAILURE() << c.name << " at (" << vx << ", " << vy << ") channel " << k
                                      << ": got " << got[k] * 255 << ", want " << want[k] * 255;
                    }
                }
            }
        }
        EXPECT_EQ(wrong, 0) << c.name;
        return checked;
    }

    static PatternWindow* window;
    static std::unique_ptr<MagnifierRenderer> renderer;
    static ViewSettings settings;
};

PatternWindow* ComposeTest::window = nullptr;
std::unique_ptr<MagnifierRenderer> ComposeTest::renderer;
ViewSettings ComposeTest::settings;

const ColorF kWhite{1, 1, 1, 1}, kClear{1, 1, 1, 0};

TEST_F(ComposeTest, TheCopyIsThePattern) {
    ASSERT_TRUE(renderer->duplicationSource()->UpdateFrame());
    const RenderTexture* frame = renderer->duplicationSource()->frameCopy.get();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width, 1920u);
    EXPECT_EQ(frame->height, 1080u);
}

TEST_F(ComposeTest, EnlargedWithoutMask) {
    const MaskCase cases[] = {
        {"100 %", 100, 768, 432, 0, 0.49f, 0.01f, kClear, kWhite},
        {"200 %", 200, 768, 432, 0, 0.49f, 0.01f, kClear, kWhite},
        {"350 %", 350, 768, 432, 0, 0.49f, 0.01f, kClear, kWhite},
        {"odd view", 200, 401, 301, 0, 0.49f, 0.01f, kClear, kWhite},
    };
    for (const auto& c : cases) {
        const auto px = Compose(c);
        ASSERT_EQ(px.size(), static_cast<size_t>(c.viewW) * c.viewH * 4);
        EXPECT_GT(CheckGrid(c, px), 1000) << c.name;
    }
}

TEST_F(ComposeTest, MasksFollowTheirFormulas) {
    const MaskCase cases[] = {
        {"default circle", 200, 768, 432, 1, 0.49f, 0.01f, kClear, kWhite},
        {"wide band circle", 200, 768, 432, 1, 0.35f, 0.2f, {0.2f, 0.4f, 0.9f, 1}, {1, 0, 0, 1}},
        {"hard edge circle", 200, 768, 432, 1, 0.4f, 0.0f, {0, 1, 0, 1}, kWhite},
        {"translucent outer", 350, 768, 432, 1, 0.45f, 0.05f, {0, 0, 1, 0.5f}, kWhite},
        {"whole rectangle", 200, 768, 432, 2, 0.5f, 0.0f, {1, 0, 0, 1}, kWhite},
        {"rectangle band", 200, 768, 432, 2, 0.4f, 0.1f, {0, 0, 0, 1}, {1, 1, 0, 1}},
        {"800 x 400 circle", 200, 800, 400, 1, 0.49f, 0.01f, kClear, kWhite},
    };
    for (const auto& c : cases) EXPECT_GT(CheckGrid(c, Compose(c)), 1000) << c.name;
}

TEST_F(ComposeTest, TheDefaultCircleOnAnEightHundredByFourHundredView) {
    // 400 x 200 source pixels; the shorter side 200 makes the circle's radius 98 source, 196 view pixels:
    // the image up to 194, full white at 196, transparent from 198 on.
    const MaskCase c{"800 x 400", 200, 800, 400, 1, 0.49f, 0.01f, kClear, kWhite};
    const auto px = Compose(c);
    const platform::PixelRect src = SourceRect(800, 400);
    EXPECT_EQ(src, (platform::PixelRect{760, 440, 1160, 640}));
    auto at = [&](int x, int y) { return &px[(static_cast<size_t>(y) * 800 + x) * 4]; };
    struct Point {
        int dx;
        int alpha;  // -1: between, as the formula says
    } points[] = {{150, 255}, {193, 255}, {195, -1}, {197, -1}, {199, 0}, {260, 0}};
    for (const auto& p : points) {
        // Right and left of the centre (the pixel centre 400.5 + dx and 399.5 - dx).
        for (const int x : {400 + p.dx, 399 - p.dx}) {
            if (x < 0 || x >= 800) continue;
            const unsigned char* v = at(x, 200);
            if (p.alpha >= 0) {
                EXPECT_EQ(v[3], p.alpha) << p.dx;
            }
            Color4 e{};
            if (Expected(c, src, x, 200, &e)) {
                EXPECT_NEAR(v[3], e.a * 255, 3) << p.dx;
            }
        }
    }
    // Just past the ring's middle (196.5 view pixels out) white fades towards clear: a quarter gone.
    const unsigned char* fading = at(400 + 196, 200);
    EXPECT_NEAR(fading[0], 191, 3);
    EXPECT_NEAR(fading[3], 191, 3);
    EXPECT_EQ(at(0, 0)[3], 0);
    EXPECT_EQ(at(799, 399)[3], 0);
}

TEST_F(ComposeTest, SourceBeyondTheEdgeWrapsAround) {
    settings.sourceOffset = {960, 0};  // centre on the right edge: the right half samples the left edge
    const MaskCase c{"wrap", 200, 768, 432, 0, 0.49f, 0.01f, kClear, kWhite};
    const auto px = Compose(c);
    settings.sourceOffset = {0, 0};
    // View pixel (700, 216) reads source x = 1920 + (700.5 - 384) / 2 = 2078.25, which wraps to 158.25.
    const unsigned char* p = &px[(216 * 768 + 700) * 4];
    const Rgb want = PatternAt(158, 540);
    EXPECT_NEAR(p[0], want.r, 3);
    EXPECT_NEAR(p[1], want.g, 3);
    EXPECT_NEAR(p[2], want.b, 3);
}

}  // namespace
