#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "KeyScript.h"
#include "RecordingWindow.h"
#include "hotkeys/HotkeyAction.h"
#include "hotkeys/HotkeyManager.h"
#include "platform/qt/MessageBox.h"
#include "support/LogFile.h"

namespace {

constexpr HotkeyBinding kMagnification = 674;  // LCtrl + RMouse
constexpr HotkeyBinding kEditor = 10527323;    // LWin + LCtrl + LShift
constexpr int kLCtrl = 162, kRMouse = 2, kLWin = 91, kLShift = 160;

struct Call {
    HotkeyAction* action;
    void* context;
    bool pressed;
    bool operator==(const Call&) const = default;
};

class HotkeyManagerTest : public ::testing::Test {
protected:
    void TearDown() override {
        keys->Close();
        manager.reset();
    }

    HotkeyAction* Bound(const char* name, HotkeyBinding binding) {
        HotkeyAction* a = manager->RegisterAction(name);
        manager->SetActionCallback(a, &Record, this);
        manager->SetBinding(a, binding);
        return a;
    }
    static void Record(HotkeyAction* action, void* context, bool pressed) {
        static_cast<HotkeyManagerTest*>(context)->calls.push_back({action, context, pressed});
    }
    static Posted Press(HotkeyAction* a) {
        return {HotkeyManager::kActionMessage, 1, static_cast<intptr_t>(a->id)};
    }
    static Posted Release(HotkeyAction* a) {
        return {HotkeyManager::kActionMessage, 0, static_cast<intptr_t>(a->id)};
    }
    static Posted Down(int vk) { return {HotkeyManager::kCaptureMessage, 1, vk}; }
    static Posted Up(int vk) { return {HotkeyManager::kCaptureMessage, 0, vk}; }
    void DispatchAll() {
        for (const Posted& p : window.Take()) manager->DispatchAction(p.wParam, p.lParam);
    }

    std::shared_ptr<KeyScript> keys = std::make_shared<KeyScript>();
    RecordingWindow window;
    std::unique_ptr<HotkeyManager> manager = std::make_unique<HotkeyManager>(&window, keys->Factory(), 1);
    std::vector<Call> calls;
};

using Posts = std::vector<Posted>;

TEST_F(HotkeyManagerTest, OnePressPerHoldAndOneReleaseWhenAnyKeyLetsGo) {
    HotkeyAction* a = Bound("magnification", kMagnification);
    struct Step {
        std::initializer_list<int> down;
        bool press, release;
    } steps[] = {
        {{}, false, false},
        {{kLCtrl}, false, false},
        {{kLCtrl, kRMouse}, true, false},
        {{kLCtrl, kRMouse}, false, false},                // holding on repeats nothing
        {{kLCtrl, kRMouse, 'A', kLShift}, false, false},  // nor do extra keys
        {{kRMouse}, false, true},
        {{kRMouse, kLCtrl}, true, false},  // pressed the other way round
        {{kLCtrl}, false, true},
        {{}, false, false},
    };
    for (const Step& s : steps) {
        keys->Poll(s.down);
        Posts expected;
        if (s.press) expected.push_back(Press(a));
        if (s.release) expected.push_back(Release(a));
        EXPECT_EQ(window.Take(), expected) << "after step " << (&s - steps);
    }
}

TEST_F(HotkeyManagerTest, ThreeKeysInAnyOrderFireOnceTheLastIsDown) {
    HotkeyAction* a = Bound("enable_editor", kEditor);
    const int orders[][3] = {{kLWin, kLCtrl, kLShift},
                             {kLShift, kLWin, kLCtrl},
                             {kLCtrl, kLShift, kLWin},
                             {kLWin, kLShift, kLCtrl}};
    for (const auto& o : orders) {
        keys->Poll({o[0]});
        keys->Poll({o[0], o[1]});
        EXPECT_EQ(window.Take(), Posts{});
        keys->Poll({o[0], o[1], o[2]});
        EXPECT_EQ(window.Take(), Posts{Press(a)}) << o[0] << " " << o[1] << " " << o[2];
        keys->Poll({o[0], o[2]});  // the middle one lets go
        EXPECT_EQ(window.Take(), Posts{Release(a)});
        keys->Poll({});
        EXPECT_EQ(window.Take(), Posts{});
    }
}

TEST_F(HotkeyManagerTest, EveryOtherKeyHeldTooDoesNotBlock) {
    HotkeyAction* a = Bound("magnification", kMagnification);
    keys->PollAllDown();
    EXPECT_EQ(window.Take(), Posts{Press(a)});
}

TEST_F(HotkeyManagerTest, EmptyBindingIsNeverPolledButAnEmptyFirstSlotIs) {
    Bound("unbound", 0);
    HotkeyAction* second = Bound("second slot only", kRMouse << 8);
    keys->PollAllDown();
    EXPECT_EQ(window.Take(), Posts{Press(second)});
}

TEST_F(HotkeyManagerTest, SameCombinationOnTwoActionsPostsInRegistrationOrder) {
    HotkeyAction* first = Bound("first", kMagnification);
    HotkeyAction* silent = manager->RegisterAction("no callback");
    manager->SetBinding(silent, kMagnification);
    HotkeyAction* second = Bound("second", kMagnification);
    keys->Poll({kLCtrl, kRMouse});
    EXPECT_EQ(window.Take(), (Posts{Press(first), Press(second)}));
    keys->Poll({});
    EXPECT_EQ(window.Take(), (Posts{Release(first), Release(second)}));
}

TEST_F(HotkeyManagerTest, ClearedCallbackFreezesTheStateUntilItReturns) {
    HotkeyAction* a = Bound("magnification", kMagnification);
    keys->Poll({kLCtrl, kRMouse});
    EXPECT_EQ(window.Take(), Posts{Press(a)});

    // Cleared while held: the release is not seen, and on return the hold is still known.
    manager->SetActionCallback(a, nullptr, nullptr);
    keys->Poll({});
    keys->Poll({kLCtrl, kRMouse});
    EXPECT_EQ(window.Take(), Posts{});
    manager->SetActionCallback(a, &Record, this);
    keys->Poll({kLCtrl, kRMouse});
    EXPECT_EQ(window.Take(), Posts{});
    keys->Poll({});
    EXPECT_EQ(window.Take(), Posts{Release(a)});

    // Cleared while up: a hold meanwhile is reported at the first poll after the return.
    manager->SetActionCallback(a, nullptr, nullptr);
    keys->Poll({kLCtrl, kRMouse});
    EXPECT_EQ(window.Take(), Posts{});
    manager->SetActionCallback(a, &Record, this);
    keys->Poll({kLCtrl, kRMouse});
    EXPECT_EQ(window.Take(), Posts{Press(a)});
}

TEST_F(HotkeyManagerTest, SettingTheBindingDuringAHoldStartsOver) {
    HotkeyAction* a = Bound("magnification", kMagnification);
    keys->Poll({kLCtrl, kRMouse});
    manager->SetBinding(a, kMagnification);
    keys->Poll({});  // let go before the next poll: no release
    EXPECT_EQ(window.Take(), Posts{Press(a)});

    keys->Poll({kLCtrl, kRMouse});
    manager->SetBinding(a, kMagnification);
    keys->Poll({kLCtrl, kRMouse});  // still held: pressed again
    keys->Poll({});
    EXPECT_EQ(window.Take(), (Posts{Press(a), Press(a), Release(a)}));
}

TEST_F(HotkeyManagerTest, EscapeIsRefusedWithAWarningAndTheOldBindingStays) {
    std::vector<platform::MessageBoxRecord> boxes;
    const auto previous =
        platform::SetMessageBoxHandler([&](const platform::MessageBoxRecord& r) { boxes.push_back(r); });
    HotkeyAction* a = Bound("magnification", kMagnification);
    for (const HotkeyBinding invalid : {27, 27 << 8, 27 << 16, 162 | 27 << 8 | 2 << 16}) {
        manager->SetBinding(a, invalid);
    }
    ASSERT_EQ(boxes.size(), 4u);
    for (const auto& b : boxes) {
        EXPECT_EQ(
            b.text,
            u"It looks like one of the hotkeys has wrong binding.\n\nPlease check the hotkeys settings.");
        EXPECT_EQ(b.caption, u"Lentora");
        EXPECT_EQ(b.icon, platform::MessageIcon::Warning);
    }
    keys->Poll({kLCtrl, kRMouse});
    EXPECT_EQ(window.Take(), Posts{Press(a)});

    // Escape in the carried top byte is no key of the combination: it is neither refused nor polled.
    manager->SetBinding(a, static_cast<HotkeyBinding>(27u << 24 | kLCtrl));
    EXPECT_EQ(boxes.size(), 4u);
    keys->Poll({kLCtrl});
    EXPECT_EQ(window.Take(), Posts{Press(a)});
    platform::SetMessageBoxHandler(previous);
}

TEST_F(HotkeyManagerTest, DispatchCallsTheCallbackOnlyForLiveActionsWithCallback) {
    HotkeyAction* a = Bound("magnification", kMagnification);
    HotkeyAction* b = Bound("enable_editor", kLShift);
    keys->Poll({kLCtrl, kRMouse, kLShift});
    keys->Poll({});
    DispatchAll();
    EXPECT_EQ(calls,
              (std::vector<Call>{{a, this, true}, {b, this, true}, {a, this, false}, {b, this, false}}));
    calls.clear();

    // Posted, then the action lost its callback or went away before the message was handled.
    keys->Poll({kLCtrl, kRMouse, kLShift});
    manager->SetActionCallback(a, nullptr, nullptr);
    manager->RemoveAction(b);
    DispatchAll();
    manager->DispatchAction(1, 12345);  // no action at all
    EXPECT_EQ(calls, std::vector<Call>{});
}

// The callback runs without the lock, so it may change the manager.
TEST_F(HotkeyManagerTest, CallbackMayChangeItsOwnAction) {
    HotkeyAction* a = manager->RegisterAction("magnification");
    struct Context {
        HotkeyManager* manager;
        int calls = 0;
    } context{manager.get()};
    manager->SetActionCallback(
        a,
        [](HotkeyAction* action, void* c, bool) {
            auto* ctx = static_cast<Context*>(c);
            ++ctx->calls;
            ctx->manager->SetBinding(action, 'A');
            ctx->manager->SetActionCallback(action, nullptr, nullptr);
        },
        &context);
    manager->SetBinding(a, kMagnification);
    keys->Poll({kLCtrl, kRMouse});
    DispatchAll();
    EXPECT_EQ(context.calls, 1);
    keys->Poll({'A'});  // the callback is gone: nothing polled
    EXPECT_EQ(window.Take(), Posts{});
}

TEST_F(HotkeyManagerTest, ActionsNotInTheListAreIgnored) {
    HotkeyAction* kept = Bound("kept", 'K');
    HotkeyAction* gone = Bound("gone", 'G');
    const auto goneId = static_cast<intptr_t>(gone->id);
    manager->RemoveAction(gone);
    manager->RemoveAction(gone);
    manager->RemoveAction(nullptr);
    manager->SetBinding(gone, 'K');
    manager->SetActionCallback(gone, &Record, this);
    manager->DispatchAction(1, goneId);
    keys->Poll({'K', 'G'});
    DispatchAll();
    EXPECT_EQ(calls, (std::vector<Call>{{kept, this, true}}));
}

// A message posted for an action that was then removed never reaches an action made after it, even
// one that was given the same memory.
TEST_F(HotkeyManagerTest, ALateMessageNeverReachesANewAction) {
    for (int round = 0; round < 20; ++round) {
        HotkeyAction* old = Bound("magnification", kMagnification);
        keys->Poll({kLCtrl, kRMouse});
        manager->RemoveAction(old);
        HotkeyAction* fresh = Bound("magnification", kMagnification);
        DispatchAll();  // the press of the removed action
        EXPECT_EQ(calls, std::vector<Call>{}) << "round " << round << (fresh == old ? ", same address" : "");
        manager->RemoveAction(fresh);
        keys->Poll({});
        window.Take();
    }
}

TEST_F(HotkeyManagerTest, FailedReadSkipsThePollAndIsLogged) {
    LogFile log;
    HotkeyAction* a = Bound("magnification", kMagnification);
    keys->Poll({kLCtrl, kRMouse});
    keys->PollFailing("XQueryKeymap", 2);  // not a release of every key
    keys->Poll({kLCtrl, kRMouse});
    keys->Poll({});
    EXPECT_EQ(window.Take(), (Posts{Press(a), Release(a)}));
    const auto lines = log.Find("XQueryKeymap");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(" [ERROR] [Hotkeys][Error] XQueryKeymap : 2"), std::string::npos) << lines[0];
}

class CaptureModeTest : public HotkeyManagerTest {
protected:
    RecordingWindow capture;
};

TEST_F(CaptureModeTest, EveryTransitionOfCodes0To254AndNoAction) {
    Bound("magnification", kMagnification);
    manager->SetCaptureMode(true, &capture, HotkeyManager::kCaptureMessage);
    keys->PollAllDown();
    Posts downs, ups;
    for (int vk = 0; vk < 255; ++vk) downs.push_back(Down(vk));  // 255 is never read
    for (int vk = 0; vk < 255; ++vk) ups.push_back(Up(vk));
    EXPECT_EQ(capture.Take(), downs);
    keys->PollAllDown();
    EXPECT_EQ(capture.Take(), Posts{});
    keys->Poll({});
    EXPECT_EQ(capture.Take(), ups);
    keys->Poll({255, 17, 5, 2});  // generic Ctrl and mouse buttons, in code order
    EXPECT_EQ(capture.Take(), (Posts{Down(2), Down(5), Down(17)}));
    EXPECT_EQ(window.Take(), Posts{});
}

TEST_F(CaptureModeTest, KeysOfAHeldCombinationCountAsAlreadyDown) {
    HotkeyAction* magnification = Bound("magnification", kMagnification);
    Bound("enable_editor", kEditor);  // shares LCtrl, not held
    keys->Poll({kLCtrl, kRMouse});
    EXPECT_EQ(window.Take(), Posts{Press(magnification)});

    manager->SetCaptureMode(true, &capture, HotkeyManager::kCaptureMessage);
    keys->Poll({kLCtrl, kRMouse});
    EXPECT_EQ(capture.Take(), Posts{});  // no press of either, and no release of the empty slot's code 0
    keys->Poll({kLCtrl});
    EXPECT_EQ(capture.Take(), Posts{Up(kRMouse)});
    keys->Poll({kLCtrl, 'Q'});
    EXPECT_EQ(capture.Take(), Posts{Down('Q')});

    // Back to actions: the combination's hold was kept through capture mode.
    manager->SetCaptureMode(false, nullptr, 0);
    keys->Poll({});
    EXPECT_EQ(window.Take(), Posts{Release(magnification)});
    EXPECT_EQ(capture.Take(), Posts{});
}

// The threads of this process by name.
int ThreadsNamed(const std::string& name) {
    int n = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string line;
        std::getline(comm, line);
        if (line == name) ++n;
    }
    return n;
}

TEST(HotkeyManagerStop, ThreadEndsInTimeWithoutALogLine) {
    LogFile log;
    auto keys = std::make_shared<KeyScript>();
    RecordingWindow window;
    auto manager = std::make_unique<HotkeyManager>(&window, keys->Factory(), 1);
    gHotkeyManager = manager.get();
    HotkeyAction* a = gHotkeyManager->RegisterAction("magnification");
    HotkeyAction* b = gHotkeyManager->RegisterAction("enable_editor");
    keys->Poll({});
    EXPECT_EQ(ThreadsNamed("HotkeyManager::"), 1);  // the system keeps 15 characters of the name

    keys->Close();
    const auto start = std::chrono::steady_clock::now();
    StopHotkeys(manager, {a, b});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(gHotkeyManager, nullptr);
    EXPECT_EQ(manager, nullptr);
    EXPECT_TRUE(keys->WaitUntilGone());
    EXPECT_EQ(ThreadsNamed("HotkeyManager::"), 0);
    EXPECT_TRUE(log.Find("Terminating thread").empty());
    StopHotkeys(manager, {a, b});  // no manager any more: nothing happens
}

// The read comes back after Stop gave up: with the manager still there the thread must not post, and
// with the manager gone it must not touch what was freed (the sanitizer build sees that).
TEST(HotkeyManagerStop, StuckThreadIsLoggedAndLeftToEndWithoutPosting) {
    for (const bool managerGoneFirst : {false, true}) {
        SCOPED_TRACE(managerGoneFirst ? "manager deleted before the read returns" : "manager still there");
        LogFile log;
        auto keys = std::make_shared<KeyScript>();
        RecordingWindow window;
        auto manager = std::make_unique<HotkeyManager>(&window, keys->Factory(), 1);
        HotkeyAction* a = manager->RegisterAction("magnification");
        manager->SetActionCallback(
            a, [](HotkeyAction*, void*, bool) {}, nullptr);
        manager->SetBinding(a, kMagnification);
        keys->Poll({});
        // The thread now waits in its next read, which does not come back in time.
        const auto start = std::chrono::steady_clock::now();
        manager->Stop();
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, std::chrono::milliseconds(1000));
        EXPECT_LT(waited, std::chrono::milliseconds(3000));
        const auto lines = log.Find("Terminating thread");
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find("] Terminating thread, timeout 1000 msec"), std::string::npos) << lines[0];
        EXPECT_EQ(lines[0].find("[ERROR]"), std::string::npos);

        if (managerGoneFirst) manager.reset();
        keys->Release({kLCtrl, kRMouse});  // the read returns with the combination held
        EXPECT_TRUE(keys->WaitUntilGone());
        EXPECT_EQ(window.Take(), Posts{});
    }
}

}  // namespace
