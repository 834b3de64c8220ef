#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "magnifier/MonitorList.h"
#include "shell/WindowPlacement.h"

// Shown in failure messages.
void PrintTo(const WindowPosition& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace {

using platform::PixelRect;

constexpr PixelRect kFullHd{0, 0, 1920, 1080};

struct PlacementCase {
    const char* name;
    std::vector<PixelRect> displays;  // entry 0 first
    std::string stored;
    int width, height;
    std::optional<WindowPosition> expected;
};

class WindowPlacementTest : public ::testing::TestWithParam<PlacementCase> {
protected:
    void TearDown() override { MonitorList::SetProvider({}); }
};

TEST_P(WindowPlacementTest, PlacesByTheStoredRectangle) {
    const PlacementCase& c = GetParam();
    std::vector<MonitorEntry> entries;
    for (size_t i = 0; i < c.displays.size(); ++i) {
        entries.push_back(
            {i + 1, c.displays[i], u"OUT-" + std::u16string(1, static_cast<char16_t>(u'0' + i))});
    }
    MonitorList::SetProvider([entries] { return entries; });
    const std::optional<WindowPosition> got = MainWindowPosition(c.stored, c.width, c.height);
    EXPECT_EQ(got, c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowPlacementTest,
    ::testing::Values(
        PlacementCase{"default rectangle: centred on the first display",
                      {kFullHd},
                      "[0, 0, 0, 0]",
                      1100,
                      650,
                      WindowPosition{410, 215}},
        PlacementCase{"stored corner on the display",
                      {kFullHd},
                      "[100, 50, 1100, 650]",
                      1100,
                      650,
                      WindowPosition{100, 50}},
        PlacementCase{"on no display", {kFullHd}, "[5000, 5000, 1100, 650]", 1100, 650, std::nullopt},
        PlacementCase{"left of every display", {kFullHd}, "[-1100, 10, 1100, 650]", 1100, 650, std::nullopt},
        PlacementCase{
            "touching the edge shares no pixel", {kFullHd}, "[1920, 0, 1100, 650]", 1100, 650, std::nullopt},
        PlacementCase{"one pixel on the display is enough",
                      {kFullHd},
                      "[1919, 1079, 1100, 650]",
                      1100,
                      650,
                      WindowPosition{1919, 1079}},
        PlacementCase{"on the second display, left of the first",
                      {kFullHd, {-1280, 0, 0, 1024}},
                      "[-1200, 100, 1100, 650]",
                      1100,
                      650,
                      WindowPosition{-1200, 100}},
        PlacementCase{"centred on entry 0 wherever it lies",
                      {{1920, 0, 3840, 1200}, kFullHd},
                      "[0, 0, 0, 0]",
                      1100,
                      650,
                      WindowPosition{2330, 275}},
        // The third and fourth numbers only decide whether to centre.
        PlacementCase{"corner equal to the stored size centres",
                      {kFullHd},
                      "[1100, 650, 1100, 650]",
                      1100,
                      650,
                      WindowPosition{410, 215}},
        PlacementCase{
            "text that is no rectangle centres", {kFullHd}, "", 1100, 650, WindowPosition{410, 215}},
        PlacementCase{
            "fractions are cut", {kFullHd}, "[100.9, 50.5, 0, 0]", 1100, 650, WindowPosition{100, 50}},
        PlacementCase{"a window larger than the display centres over its edges",
                      {{0, 0, 1024, 768}},
                      "[0, 0, 0, 0]",
                      1100,
                      650,
                      WindowPosition{-38, 59}},
        PlacementCase{"double-density size",
                      {{0, 0, 3840, 2160}},
                      "[0, 0, 0, 0]",
                      2200,
                      1300,
                      WindowPosition{820, 430}}));

}  // namespace
