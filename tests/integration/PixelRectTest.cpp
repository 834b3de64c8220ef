#include "platform/PixelRect.h"

#include <gtest/gtest.h>

#include "PixelRectPrinter.h"

namespace {

using platform::PixelRect;

TEST(PixelRectTest, IntersectKeepsTheCommonPixels) {
    struct Case {
        PixelRect a, b, expected;
    };
    const Case cases[] = {
        {{0, 0, 100, 100}, {50, 20, 150, 80}, {50, 20, 100, 80}},  // overlap
        {{0, 0, 100, 100}, {10, 10, 20, 20}, {10, 10, 20, 20}},    // inside
        {{0, 0, 100, 100}, {100, 0, 200, 100}, {}},                // edges touch: no common pixel
        {{0, 0, 100, 100}, {0, 100, 100, 200}, {}},
        {{0, 0, 100, 100}, {300, 300, 400, 400}, {}},              // apart
        {{-50, -50, 10, 10}, {0, 0, 1920, 1080}, {0, 0, 10, 10}},  // negative coordinates
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a.Intersect(c.b), c.expected);
        EXPECT_EQ(c.b.Intersect(c.a), c.expected);
    }
}

TEST(PixelRectTest, ContainsComparesEdgesInclusively) {
    constexpr PixelRect screen{0, 0, 1920, 1080};
    EXPECT_TRUE(screen.Contains(screen));
    EXPECT_TRUE(screen.Contains({1919, 1079, 1920, 1080}));
    EXPECT_FALSE(screen.Contains({1919, 1079, 1921, 1080}));
    EXPECT_FALSE(screen.Contains({-1, 0, 10, 10}));
    EXPECT_EQ(PixelRect({10, 20, 110, 70}).width(), 100);
    EXPECT_EQ(PixelRect({10, 20, 110, 70}).height(), 50);
}

}  // namespace
