#pragma once
// What a hotkey makes of its action's on/off state: in hold mode the state follows the keys; in press
// mode a press flips it and a release leaves it as it is.

constexpr bool NewActionState(bool holdMode, bool current, bool pressed) {
    if (holdMode) return pressed;
    return pressed ? !current : current;
}
