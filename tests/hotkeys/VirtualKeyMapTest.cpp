#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "hotkeys/KeyName.h"
#include "platform/x11/VirtualKeyMap.h"

namespace {

using platform::x11::KeysymsForVirtualKey;
using platform::x11::PointerButtonForVirtualKey;

std::vector<unsigned long> Keysyms(int vk) {
    const auto s = KeysymsForVirtualKey(vk);
    return {s.begin(), s.end()};
}

TEST(VirtualKeyMap, MouseCodesAreButtonsOneThreeTwoEightNine) {
    const std::pair<int, int> buttons[] = {{1, 1}, {2, 3}, {4, 2}, {5, 8}, {6, 9}};
    for (const auto& [vk, button] : buttons) {
        EXPECT_EQ(PointerButtonForVirtualKey(vk), button) << vk;
        EXPECT_TRUE(Keysyms(vk).empty()) << vk;
    }
    for (int vk = 0; vk < 256; ++vk) {
        if (vk != 1 && vk != 2 && vk != 4 && vk != 5 && vk != 6) {
            EXPECT_EQ(PointerButtonForVirtualKey(vk), 0) << vk;
        }
    }
}

// A key that can be bound and named must be one that can be read.
TEST(VirtualKeyMap, EveryNamedKeyLetterDigitAndFunctionKeyHasAKeysym) {
    for (int vk = 0; vk < 256; ++vk) {
        if (PointerButtonForVirtualKey(vk) != 0) continue;
        const std::string name = KeyName(static_cast<uint8_t>(vk));
        const bool named = !name.empty() && name != std::to_string(vk);
        const bool functionKey = vk >= 112 && vk <= 135;  // F1-F24
        const bool oem = vk == 187 || vk == 188 || vk == 189 || vk == 190;
        if (named || functionKey || oem) {
            EXPECT_FALSE(Keysyms(vk).empty()) << vk << " " << name;
        }
    }
    EXPECT_EQ(Keysyms('A'), std::vector<unsigned long>{XK_a});
    EXPECT_EQ(Keysyms('7'), std::vector<unsigned long>{XK_7});
    EXPECT_EQ(Keysyms(186), std::vector<unsigned long>{XK_semicolon});  // US layout
    EXPECT_EQ(Keysyms(222), std::vector<unsigned long>{XK_apostrophe});
    EXPECT_TRUE(Keysyms(0).empty());
    EXPECT_TRUE(Keysyms(255).empty());
    EXPECT_TRUE(Keysyms(-1).empty());
    EXPECT_TRUE(Keysyms(256).empty());
}

TEST(VirtualKeyMap, GenericModifiersAreEitherSide) {
    const std::tuple<int, int, int> sides[] = {{16, 160, 161}, {17, 162, 163}, {18, 164, 165}};
    for (const auto& [generic, left, right] : sides) {
        const std::vector<unsigned long> either = Keysyms(generic);
        for (const int side : {left, right}) {
            ASSERT_FALSE(Keysyms(side).empty()) << side;
            for (const unsigned long ks : Keysyms(side)) {
                EXPECT_NE(std::find(either.begin(), either.end(), ks), either.end())
                    << generic << " lacks " << ks;
            }
        }
    }
    EXPECT_EQ(Keysyms(160), std::vector<unsigned long>{XK_Shift_L});
    EXPECT_EQ(Keysyms(163), std::vector<unsigned long>{XK_Control_R});
}

}  // namespace
