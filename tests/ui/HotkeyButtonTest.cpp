// The hotkey binding control's recording, fed key transitions as capture mode delivers them.
#include "ui/HotkeyButton.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

struct Key {
    int code;
    bool down;
};

TEST(HotkeyButton, RecordingFromCapturedKeys) {
    struct Case {
        const char* what;
        std::vector<Key> keys;
        int binding;
        bool ended;
    } cases[] = {
        {"LCtrl + RMouse, the first release ends it",
         {{162, true}, {17, true}, {2, true}, {2, false}},
         162 | 2 << 8,
         true},
        {"generic modifiers are ignored",
         {{16, true}, {160, true}, {16, false}, {116, true}, {116, false}},
         160 | 116 << 8,
         true},
        {"a fourth key is dropped",
         {{65, true}, {66, true}, {67, true}, {68, true}, {68, false}},
         65 | 66 << 8 | 67 << 16,
         true},
        {"Escape clears", {{65, true}, {27, true}}, 0, true},
        {"a release of a key not recorded ends it too", {{65, true}, {90, false}}, 65, true},
        {"still held: not ended", {{65, true}, {66, true}}, 0, false},
        {"codes are taken as a byte", {{0x1A5, true}, {0x1A5, false}}, 0xA5, true},
    };
    for (const Case& c : cases) {
        HotkeyButton button;
        button.SetHotkey(0x7F000000 | 116);  // the top byte is carried by writes, cleared by recordings
        EXPECT_EQ(button.Hotkey(), 0x7F000000 | 116) << c.what;
        QSignalSpy recorded(&button, &HotkeyButton::hotkeyRecorded);
        button.StartRecording();
        EXPECT_EQ(HotkeyButton::Recording(), &button) << c.what;
        EXPECT_TRUE(button.KeyNames().isEmpty()) << c.what;  // cleared at the start
        for (const Key& k : c.keys) {
            if (HotkeyButton::Recording() == &button) button.OnCapturedKey(k.code, k.down);
        }
        EXPECT_EQ(HotkeyButton::Recording() == nullptr, c.ended) << c.what;
        if (c.ended) {
            ASSERT_EQ(recorded.size(), 1) << c.what;
            EXPECT_EQ(recorded[0][0].toInt(), c.binding) << c.what;
            EXPECT_EQ(button.Hotkey(), c.binding) << c.what;
        } else {
            EXPECT_TRUE(recorded.isEmpty()) << c.what;
        }
    }
    EXPECT_EQ(HotkeyButton::Recording(), nullptr);  // a control that goes while recording lets go
}

TEST(HotkeyButton, OneRecordingAtATimeAndTheNamesShown) {
    HotkeyButton a, b;
    a.SetHotkey(162 | 2 << 8);
    EXPECT_EQ(a.KeyNames(), (QStringList{QStringLiteral("LCtrl"), QStringLiteral("RMouse")}));
    a.StartRecording();
    b.StartRecording();
    EXPECT_EQ(HotkeyButton::Recording(), &b);
    EXPECT_FALSE(a.IsRecording());
    b.OnCapturedKey(27, false);
    EXPECT_EQ(HotkeyButton::Recording(), nullptr);
}

}  // namespace
