// The displays of the Profile page's selectors: which outputs are listed, how they are named, and where
// each one's arrow points.
#include "ui/DisplayList.h"

#include <gtest/gtest.h>

#include <QFile>
#include <array>
#include <cstring>

#include "magnifier/MonitorList.h"
#include "platform/Edid.h"

namespace {

using platform::OutputInfo;
using platform::PixelRect;

OutputInfo Attached(const char* name, PixelRect bounds, const char* monitor = "") {
    return {name, true, bounds, monitor};
}

TEST(DisplayList, ItemsNamesAndDirections) {
    const PixelRect main{0, 0, 1920, 1080};  // centre (960, 540)
    const std::vector<MonitorEntry> monitors = {
        {1, main, u"eDP-1"},
        {2, {1920, -40, 3840, 1040}, u"HDMI-1"},  // right, slightly up: dx 1920 > |dy| 40
        {3, {0, -1100, 1920, -20}, u"dp-1"},      // above, strictly: |dy| 1100 > dx 0
        {4, {1500, 960, 2340, 1500}, u"DP-2"},    // dx 960, dy 690: right
        {5, {0, 0, 1920, 1080}, u"DP-3"},         // the same centre as the reference: left
        {6, {-1000, 500, -500, 1500}, u"DP-4"},   // cx -750, dx -1710, dy 460: left
        {7, {400, 1000, 1520, 2080}, u"DP-5"},    // cx 960, dy 1000: below
        {8, {1540, 960, 1920, 1080}, u"DP-6"},    // cx 1730, dx 770; cy 1020, dy 480: right
        {9, {960, 900, 1920, 1860}, u"DP-7"},     // cx 1440, dx 480; cy 1380, dy 840: below
        {10, {1440, 0, 2400, 1080}, u"DP-8"},     // cx 1920, dx 960; cy 540, dy 0: right
    };
    const std::vector<OutputInfo> outputs = {
        Attached("eDP-1", main, "Built-in panel"),
        {"VGA-1", false, {}, ""},  // not attached: no item, its index still counts
        Attached("HDMI-1", monitors[1].bounds, "DELL U2415"),
        Attached("DP-1", monitors[2].bounds),  // the monitor list says "dp-1": icons ignore case
        Attached("DP-3", monitors[4].bounds),
        Attached("DP-4", monitors[5].bounds),
        Attached("DP-5", monitors[6].bounds),
        Attached("DP-9", {5000, 0, 6000, 1000}),  // connected later: in no monitor entry
    };
    QObject owner;
    const std::vector<MagnifyDisplayInfo*> items = BuildDisplayNames(outputs, monitors, &owner);
    struct Expected {
        const char* device;
        const char* shown;
        const char* icon;
    } expected[] = {
        {"eDP-1", "Built-in panel", "display-16.png"},
        {"HDMI-1", "DELL U2415", "arrow-right-16.png"},
        {"DP-1", "DP-1", "arrow-up-16.png"},
        {"DP-3", "DP-3", "arrow-left-16.png"},
        {"DP-4", "DP-4", "arrow-left-16.png"},
        {"DP-5", "DP-5", "arrow-down-16.png"},
        {"DP-9", "DP-9", "display-16.png"},
    };
    ASSERT_EQ(items.size(), std::size(expected));
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i]->DeviceName().toStdString(), expected[i].device);
        EXPECT_EQ(items[i]->DisplayName().toStdString(), expected[i].shown);
        EXPECT_EQ(items[i]->Img().toString().toStdString(),
                  std::string("qrc:/LentoraApp/images/icons/") + expected[i].icon);
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/LentoraApp/images/icons/") + expected[i].icon));
        EXPECT_EQ(items[i]->parent(), &owner);
    }
    // The remaining monitors through the rule alone: ties go sideways.
    const int rule[][2] = {{3, kDisplayRight}, {7, kDisplayRight}, {8, kDisplayDown}, {9, kDisplayRight}};
    for (const auto& [index, direction] : rule)
        EXPECT_EQ(DirectionFrom(960, 540, monitors[static_cast<size_t>(index)].bounds), direction) << index;
    EXPECT_EQ(DirectionFrom(960, 540, {960, 540 - 700, 960 + 1400, 540 + 700 - 1400}), kDisplayRight)
        << "equal distances";

    // One display: one plain item; none attached, or no monitor at all: none.
    EXPECT_EQ(BuildDisplayNames({outputs[0]}, {monitors[0]}, &owner).size(), 1u);
    EXPECT_TRUE(BuildDisplayNames({outputs[1]}, monitors, &owner).empty());
    EXPECT_TRUE(BuildDisplayNames(outputs, {}, &owner).empty());
    EXPECT_EQ(MagnifyDisplayInfo().Img(), MagnifyDisplayInfo::IconBase());
}

TEST(DisplayList, MonitorNameFromEdid) {
    std::array<uint8_t, 128> edid{};
    const auto descriptor = [&](size_t at, uint8_t tag, const char* text) {
        edid[at + 3] = tag;
        std::memset(&edid[at + 5], ' ', 13);
        std::memcpy(&edid[at + 5], text, std::strlen(text));
    };
    descriptor(54, 0xFF, "SERIAL123\n");  // a serial number comes first: not the name
    EXPECT_EQ(platform::MonitorNameFromEdid(edid.data(), edid.size()), "");
    descriptor(72, 0xFC, "DELL U2415\n");
    EXPECT_EQ(platform::MonitorNameFromEdid(edid.data(), edid.size()), "DELL U2415");
    descriptor(72, 0xFC, "Thirteen char");  // fills the field, no line end
    EXPECT_EQ(platform::MonitorNameFromEdid(edid.data(), edid.size()), "Thirteen char");
    edid[77] = 0x07;  // a control byte is shown as a question mark
    EXPECT_EQ(platform::MonitorNameFromEdid(edid.data(), edid.size()), "?hirteen char");
    EXPECT_EQ(platform::MonitorNameFromEdid(edid.data(), 127), "");
    EXPECT_EQ(platform::MonitorNameFromEdid(nullptr, 0), "");
}

}  // namespace
