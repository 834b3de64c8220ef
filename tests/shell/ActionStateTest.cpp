#include <gtest/gtest.h>

#include <vector>

#include "shell/ActionState.h"

namespace {

// What a run of hotkey transitions does to the state, starting off: the states after each.
std::vector<bool> StatesAfter(bool hold, const std::vector<bool>& transitions) {
    std::vector<bool> states;
    bool state = false;
    for (bool pressed : transitions) {
        state = NewActionState(hold, state, pressed);
        states.push_back(state);
    }
    return states;
}

TEST(ActionStateTest, PressModeFlipsOnPressesAndIgnoresReleases) {
    // press, release, press, release, then a release with no press before it
    EXPECT_EQ(StatesAfter(false, {true, false, true, false, false}),
              (std::vector<bool>{true, true, false, false, false}));
}

TEST(ActionStateTest, HoldModeFollowsTheKeys) {
    EXPECT_EQ(StatesAfter(true, {true, false, false, true, true, false}),
              (std::vector<bool>{true, false, false, true, true, false}));
}

TEST(ActionStateTest, EveryCombination) {
    struct Case {
        bool hold, current, pressed, expected;
    };
    for (const Case& c :
         {Case{false, false, true, true}, Case{false, true, true, false}, Case{false, false, false, false},
          Case{false, true, false, true}, Case{true, false, true, true}, Case{true, true, true, true},
          Case{true, false, false, false}, Case{true, true, false, false}}) {
        EXPECT_EQ(NewActionState(c.hold, c.current, c.pressed), c.expected)
            << "hold " << c.hold << ", current " << c.current << ", pressed " << c.pressed;
    }
}

}  // namespace
