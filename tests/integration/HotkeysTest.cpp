// The hotkeys against a real X server: keys and buttons pressed through XTest, read by the X11 key
// state on the polling thread's own connection, posted to a window object and dispatched on the UI
// thread. Needs the display in LENTORA_TEST_DISPLAY (scripts/test starts an Xvfb and sets it).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "hotkeys/HotkeyManager.h"
#include "platform/qt/MessageTarget.h"
#include "platform/x11/X11KeyState.h"

// Last: Xlib defines None, Bool and Status as macros.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

std::string TestDisplay() {
    const char* d = std::getenv("LENTORA_TEST_DISPLAY");
    return d != nullptr ? d : "";
}

// The test's own connection, pressing keys and buttons through XTest. Whatever is still held or
// mapped at the end is released and unmapped, since the server outlives the test.
class Presser {
public:
    explicit Presser(const std::string& display) : d_(XOpenDisplay(display.c_str())) {
        int event = 0, error = 0, major = 0, minor = 0;
        xtest_ = d_ != nullptr && XTestQueryExtension(d_, &event, &error, &major, &minor);
    }
    ~Presser() {
        if (d_ == nullptr) return;
        for (const KeyCode kc : heldKeys_) XTestFakeKeyEvent(d_, kc, False, CurrentTime);
        for (const unsigned b : heldButtons_) XTestFakeButtonEvent(d_, b, False, CurrentTime);
        for (const KeyCode kc : mapped_) {
            KeySym none = NoSymbol;
            XChangeKeyboardMapping(d_, kc, 1, &none, 1);
        }
        XSync(d_, False);
        XCloseDisplay(d_);
    }
    bool ok() const { return xtest_; }

    bool HasKeysym(KeySym ks) const { return XKeysymToKeycode(d_, ks) != 0; }

    // The keycode of a keysym; one the keyboard lacks is put on a spare keycode first.
    KeyCode Keycode(KeySym ks) {
        const KeyCode kc = XKeysymToKeycode(d_, ks);
        return kc != 0 ? kc : MapOnSpare(ks);
    }

    KeyCode MapOnSpare(KeySym ks) {
        int min = 0, max = 0, perCode = 0;
        XDisplayKeycodes(d_, &min, &max);
        KeySym* map = XGetKeyboardMapping(d_, static_cast<KeyCode>(min), max - min + 1, &perCode);
        KeyCode spare = 0;
        for (int kc = max; kc >= min && spare == 0; --kc) {
            bool empty = true;
            for (int i = 0; i < perCode; ++i) empty = empty && map[(kc - min) * perCode + i] == NoSymbol;
            if (empty && !mapped_.count(static_cast<KeyCode>(kc))) spare = static_cast<KeyCode>(kc);
        }
        XFree(map);
        if (spare == 0) return 0;
        XChangeKeyboardMapping(d_, spare, 1, &ks, 1);
        XSync(d_, False);
        mapped_.insert(spare);
        return spare;
    }

    void Key(KeySym ks, bool down) { KeycodeEvent(Keycode(ks), down); }
    void KeycodeEvent(KeyCode kc, bool down) {
        ASSERT_NE(kc, 0);
        XTestFakeKeyEvent(d_, kc, down, CurrentTime);
        XSync(d_, False);
        if (down)
            heldKeys_.insert(kc);
        else
            heldKeys_.erase(kc);
    }
    void Button(unsigned button, bool down) {
        XTestFakeButtonEvent(d_, button, down, CurrentTime);
        XSync(d_, False);
        if (down)
            heldButtons_.insert(button);
        else
            heldButtons_.erase(button);
    }

private:
    Display* d_;
    bool xtest_ = false;
    std::set<KeyCode> heldKeys_, mapped_;
    std::set<unsigned> heldButtons_;
};

struct Fired {
    std::string action;
    bool pressed;
    bool operator==(const Fired&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Fired& f) {
    return os << f.action << (f.pressed ? " down" : " up");
}

struct Captured {
    uintptr_t down;
    intptr_t code;
    bool operator==(const Captured&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Captured& c) {
    return os << c.code << (c.down ? " down" : " up");
}

class HotkeysOnX11 : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string display = TestDisplay();
        if (display.empty())
            GTEST_SKIP() << "LENTORA_TEST_DISPLAY is not set: scripts/test starts an Xvfb for this";
        presser = std::make_unique<Presser>(display);
        ASSERT_TRUE(presser->ok()) << "no XTest on " << display;
        window = std::make_unique<platform::MessageTarget>([this](uint32_t m, uintptr_t w, intptr_t l) {
            onUiThread = onUiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
            if (m == HotkeyManager::kActionMessage) manager->DispatchAction(w, l);
            if (m == HotkeyManager::kCaptureMessage) captured.push_back({w, l});
        });
        manager = std::make_unique<HotkeyManager>(window.get(),
                                                  [display] { return platform::OpenX11KeyState(display); });
    }
    void TearDown() override {
        manager.reset();
        window.reset();
        presser.reset();
    }

    void Bind(const char* name, HotkeyBinding binding) {
        HotkeyAction* a = manager->RegisterAction(name);
        names[a] = name;
        manager->SetActionCallback(a, &OnAction, this);
        manager->SetBinding(a, binding);
    }
    static void OnAction(HotkeyAction* a, void* context, bool pressed) {
        auto* self = static_cast<HotkeysOnX11*>(context);
        self->fired.push_back({self->names[a], pressed});
    }

    // Runs the event loop until done, or fails after a few seconds.
    void RunUntil(const std::function<bool()>& done, const char* what) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "timed out waiting for " << what;
                return;
            }
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    void WaitFired(size_t n) {
        RunUntil([&] { return fired.size() >= n; }, "an action");
    }
    void WaitCaptured(size_t n) {
        RunUntil([&] { return captured.size() >= n; }, "a key transition");
    }
    // A few polls' time, to see that nothing more arrives.
    void Settle() {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(150);
        while (std::chrono::steady_clock::now() < until) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    std::unique_ptr<Presser> presser;
    std::unique_ptr<platform::MessageTarget> window;
    std::unique_ptr<HotkeyManager> manager;
    std::map<HotkeyAction*, std::string> names;
    std::vector<Fired> fired;
    std::vector<Captured> captured;
    bool onUiThread = true;
};

TEST_F(HotkeysOnX11, DefaultsFunctionKeyAndSideButtonFireInOrderOnTheUiThread) {
    Bind("magnification", 674);       // LCtrl + RMouse
    Bind("enable_editor", 10527323);  // LWin + LCtrl + LShift
    Bind("f5", 116);
    Bind("xmouse1", 5);

    presser->Key(XK_Control_L, true);
    presser->Button(3, true);
    WaitFired(1);
    presser->Button(3, false);
    WaitFired(2);
    presser->Key(XK_Control_L, false);

    presser->Key(XK_Super_L, true);
    presser->Key(XK_Control_L, true);
    presser->Key(XK_Shift_L, true);
    WaitFired(3);
    presser->Key(XK_Shift_L, false);
    WaitFired(4);
    presser->Key(XK_Control_L, false);
    presser->Key(XK_Super_L, false);

    presser->Key(XK_F5, true);
    WaitFired(5);
    presser->Key(XK_F5, false);
    WaitFired(6);

    presser->Button(8, true);
    WaitFired(7);
    presser->Button(8, false);
    WaitFired(8);
    Settle();

    EXPECT_EQ(fired, (std::vector<Fired>{{"magnification", true},
                                         {"magnification", false},
                                         {"enable_editor", true},
                                         {"enable_editor", false},
                                         {"f5", true},
                                         {"f5", false},
                                         {"xmouse1", true},
                                         {"xmouse1", false}}));
    EXPECT_TRUE(onUiThread);
}

TEST_F(HotkeysOnX11, CaptureModeReportsRealTransitionsAndFiresNothing) {
    Bind("ctrl", 162);
    manager->SetCaptureMode(true, window.get(), HotkeyManager::kCaptureMessage);
    Settle();
    ASSERT_EQ(captured, std::vector<Captured>{}) << "keys were down before the test pressed any";

    presser->Key(XK_Control_L, true);
    WaitCaptured(2);
    presser->Button(9, true);
    WaitCaptured(3);
    presser->Button(9, false);
    WaitCaptured(4);
    presser->Key(XK_Control_L, false);
    WaitCaptured(6);
    presser->Key(XK_F5, true);
    WaitCaptured(7);
    presser->Key(XK_F5, false);
    WaitCaptured(8);
    Settle();

    // Generic Ctrl before left Ctrl: one poll reports in code order.
    EXPECT_EQ(captured, (std::vector<Captured>{
                            {1, 17}, {1, 162}, {1, 6}, {0, 6}, {0, 17}, {0, 162}, {1, 116}, {0, 116}}));
    EXPECT_EQ(fired, std::vector<Fired>{});
    EXPECT_TRUE(onUiThread);
}

TEST_F(HotkeysOnX11, TapsShorterThanAPollFireEveryTimeAndAreCapturedEveryTime) {
    Bind("magnification", 674);  // LCtrl + RMouse
    Bind("f5", 116);
    constexpr int kTaps = 40;
    const auto tap = [&](const std::function<void(bool)>& press) {
        press(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // a third of a poll
        press(false);
    };
    std::vector<Fired> expected;
    Settle();  // the polling thread listens by now
    presser->Key(XK_Control_L, true);
    for (int i = 0; i < kTaps; ++i) {
        tap([&](bool down) { presser->Button(3, down); });
        tap([&](bool down) { presser->Key(XK_F5, down); });
        expected.insert(expected.end(),
                        {{"magnification", true}, {"magnification", false}, {"f5", true}, {"f5", false}});
        WaitFired(expected.size());
    }
    presser->Key(XK_Control_L, false);
    Settle();
    EXPECT_EQ(fired, expected);

    manager->SetCaptureMode(true, window.get(), HotkeyManager::kCaptureMessage);
    Settle();
    for (int i = 0; i < 10; ++i) tap([&](bool down) { presser->Button(9, down); });
    WaitCaptured(20);
    Settle();
    std::vector<Captured> taps;
    for (int i = 0; i < 10; ++i) taps.insert(taps.end(), {{1, 6}, {0, 6}});
    EXPECT_EQ(captured, taps);
}

TEST_F(HotkeysOnX11, KeyboardMappingChangedWhileRunningIsFollowed) {
    // A function key this keyboard lacks, so the only key for it is the one mapped below.
    int vk = 124;  // F13
    KeySym ks = XK_F13;
    while (presser->HasKeysym(ks) && vk < 135) {
        ++vk;
        ++ks;
    }
    ASSERT_FALSE(presser->HasKeysym(ks)) << "every one of F13-F24 is mapped already";
    Bind("fkey", vk);
    Settle();  // the key state has read the keymap as it was

    const KeyCode kc = presser->MapOnSpare(ks);
    ASSERT_NE(kc, 0) << "no spare keycode";
    presser->KeycodeEvent(kc, true);
    WaitFired(1);
    presser->KeycodeEvent(kc, false);
    WaitFired(2);
    EXPECT_EQ(fired, (std::vector<Fired>{{"fkey", true}, {"fkey", false}}));
}

}  // namespace

int main(int argc, char** argv) {
    XInitThreads();  // as the program does: the polling thread has a connection of its own
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
