#include "hotkeys/HotkeyManager.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

#include "hotkeys/HotkeyAction.h"
#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "platform/Backend.h"
#include "platform/posix/ThreadName.h"
#include "platform/posix/WakeSignal.h"
#include "platform/qt/MessageBox.h"

HotkeyManager* gHotkeyManager = nullptr;

namespace {

constexpr const char* kThreadName = "HotkeyManager::HandleHotkeysThread";
constexpr const char* kGroup = "COMMON_HOTKEY_GROUP";
constexpr int kCaptureCodes = 255;  // codes 0-254; 255 is never read

void LogFailure(const char* call, int code) { ::LogFailure(LogTag::kHotkeys, call, code); }

}  // namespace

// What the polling thread works on. Held by the manager and the thread, so a thread that outlives a
// timed-out Stop still finds it.
struct HotkeyManager::Shared {
    Shared(platform::IMessageTarget* window, uint32_t interval)
        : actionWindow(window), pollIntervalMs(interval) {}

    // Runs one poll over the snapshot of this interval. Polling thread.
    void Poll(const platform::KeySnapshot& keys);
    std::vector<std::unique_ptr<HotkeyAction>>::iterator Find(const HotkeyAction* action);

    std::mutex lock;
    std::vector<std::unique_ptr<HotkeyAction>> actions;  // guarded by lock
    uint64_t nextId = 1;                                 // guarded by lock
    std::array<uint8_t, 256> keyTable{};  // guarded by lock; bit 0: down at the last capture poll
    bool captureOn = false;               // guarded by lock
    platform::IMessageTarget* captureWindow = nullptr;  // guarded by lock
    uint32_t captureMessage = 0;                        // guarded by lock

    platform::IMessageTarget* const actionWindow;
    const uint32_t actionMessage = kActionMessage;
    const uint32_t pollIntervalMs;

    // Set once by the UI thread; the only field read without lock. wake ends the thread's sleep at
    // once.
    std::atomic<bool> stop{false};
    platform::WakeSignal wake;
    std::mutex signalLock;
    std::condition_variable signal;
    bool ended = false;  // guarded by signalLock; the thread has released everything it used
};

std::vector<std::unique_ptr<HotkeyAction>>::iterator HotkeyManager::Shared::Find(const HotkeyAction* action) {
    auto it = actions.begin();
    while (it != actions.end() && it->get() != action) ++it;
    return it;
}

void HotkeyManager::Shared::Poll(const platform::KeySnapshot& keys) {
    std::lock_guard guard(lock);
    // Once stopping, the windows may be going away.
    if (stop.load()) return;

    if (captureOn) {
        for (int v = 0; v < kCaptureCodes; ++v) {
            const bool before = keyTable[static_cast<size_t>(v)] & 1u;
            const bool down = keys.IsDown(v);
            keyTable[static_cast<size_t>(v)] = down ? 1 : 0;
            if (down != before && captureWindow != nullptr)
                captureWindow->Post(captureMessage, down ? 1 : 0, v);
        }
        keyTable[kCaptureCodes] = 0;
        return;
    }

    for (const std::unique_ptr<HotkeyAction>& action : actions) {
        if (action->callback == nullptr) continue;
        const auto handle = static_cast<intptr_t>(action->id);
        for (KeyCombo& combo : action->combos) {
            if (combo.IsEmpty()) continue;
            // Keys outside the combination do not matter: extra held keys never block it.
            const bool held = (combo.key1 == 0 || keys.IsDown(combo.key1)) &&
                              (combo.key2 == 0 || keys.IsDown(combo.key2)) &&
                              (combo.key3 == 0 || keys.IsDown(combo.key3));
            if (held && !combo.pressed) {
                if (actionWindow != nullptr) actionWindow->Post(actionMessage, 1, handle);
                combo.pressed = true;
                combo.reported = true;
            } else if (!held && combo.pressed) {
                if (combo.reported && actionWindow != nullptr) actionWindow->Post(actionMessage, 0, handle);
                combo.reported = false;
                combo.pressed = false;
            }
        }
    }
}

HotkeyManager::HotkeyManager(platform::IMessageTarget* actionWindow, KeyStateFactory keyState,
                             uint32_t pollIntervalMs)
    : shared_(std::make_shared<Shared>(actionWindow, pollIntervalMs)) {
    if (!keyState) keyState = [] { return platform::Backend().OpenKeyState(); };
    try {
        thread_ = std::thread(&HotkeyManager::HandleHotkeysThread, shared_, std::move(keyState));
    } catch (const std::system_error& e) {
        // No thread, no hotkeys; the rest of the program goes on, and Stop has nothing to wait for.
        LogFailure("pthread_create", e.code().value());
    }
}

HotkeyManager::~HotkeyManager() {
    Stop();
    std::lock_guard guard(shared_->lock);
    shared_->actions.clear();
}

void HotkeyManager::HandleHotkeysThread(std::shared_ptr<Shared> s, KeyStateFactory keyState) {
    platform::SetCurrentThreadName(kThreadName);
    {
        std::unique_ptr<platform::IKeyState> keys = keyState();
        platform::KeySnapshot snapshot;
        bool haveSnapshot = false;
        std::vector<platform::KeyTransition> transitions;
        // Every transition is polled on its own, on top of the keys down at the last read: a tap
        // shorter than the interval still fires its press and its release, in order.
        const auto pollTransitions = [&] {
            keys->TakeTransitions(transitions);
            if (!haveSnapshot) return;
            for (const platform::KeyTransition& t : transitions) {
                snapshot.Set(t.vk, t.down);
                s->Poll(snapshot);
            }
        };
        const auto interval = std::chrono::milliseconds(s->pollIntervalMs);
        auto nextRead = std::chrono::steady_clock::now() + interval;
        while (keys != nullptr) {
            // Rounded up, so the sleep never ends before the read is due.
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(nextRead - std::chrono::steady_clock::now());
            const platform::WakeSignal::Woken woken =
                s->wake.Wait(keys->EventFd(), static_cast<int>(std::max<long long>(0, left.count())));
            if (const platform::CallFailure f = s->wake.TakeFailure())
                LogFailure(f.call.c_str(), static_cast<int>(f.code));
            if (s->stop.load()) break;
            if (woken == platform::WakeSignal::Woken::Descriptor) {
                pollTransitions();
                continue;
            }
            if (std::chrono::steady_clock::now() < nextRead) continue;
            nextRead = std::chrono::steady_clock::now() + interval;
            // The keys down now, whatever transitions were missed. Read outside the lock: the X round
            // trip must never hold up the UI thread.
            const bool read = keys->Read(snapshot);
            if (const platform::KeyStateError e = keys->TakeError(); e.call != nullptr)
                LogFailure(e.call, e.code);
            haveSnapshot = read;
            if (read) s->Poll(snapshot);
            // What came in with the read's reply, so that the sleep starts with nothing waiting.
            pollTransitions();
        }
    }
    {
        std::lock_guard guard(s->signalLock);
        s->ended = true;
    }
    s->signal.notify_all();
}

void HotkeyManager::Stop() {
    if (!thread_.joinable()) return;
    bool ended = false;
    {
        std::unique_lock wait(shared_->signalLock);
        shared_->stop.store(true);
        shared_->wake.Notify();
        ended = shared_->signal.wait_for(wait, std::chrono::milliseconds(kStopWaitMs),
                                         [&] { return shared_->ended; });
    }
    if (ended) {
        thread_.join();
        return;
    }
    Log() << "Terminating thread, timeout " << kStopWaitMs << " msec" << LogEnd;
    // A thread cannot be killed safely; it is stuck outside the lock (in a key-state read) and ends
    // at its next check of the stop flag. Taking the lock once makes sure a poll that was already
    // posting has finished: from here on it posts nothing.
    thread_.detach();
    std::lock_guard barrier(shared_->lock);
}

HotkeyAction* HotkeyManager::RegisterAction(const char* name) {
    auto action = std::make_unique<HotkeyAction>();
    action->group = kGroup;
    action->name = name != nullptr ? name : "";
    HotkeyAction* handle = action.get();
    std::lock_guard guard(shared_->lock);
    action->id = shared_->nextId++;
    shared_->actions.push_back(std::move(action));
    return handle;
}

HotkeyAction* HotkeyManager::FindAction(const std::string& name) {
    std::lock_guard guard(shared_->lock);
    for (const std::unique_ptr<HotkeyAction>& a : shared_->actions) {
        if (a->name == name) return a.get();
    }
    return nullptr;
}

void HotkeyManager::SetActionCallback(HotkeyAction* action, HotkeyCallback callback, void* context) {
    std::lock_guard guard(shared_->lock);
    auto it = shared_->Find(action);
    if (it == shared_->actions.end()) return;
    (*it)->callback = callback;
    (*it)->context = context;
}

void HotkeyManager::SetBinding(HotkeyAction* action, HotkeyBinding binding) {
    if (IsInvalidBinding(binding)) {
        platform::ShowMessageBox(
            u"It looks like one of the hotkeys has wrong binding.\n\nPlease check the hotkeys settings.",
            u"Lentora", platform::MessageIcon::Warning);
        return;
    }
    std::lock_guard guard(shared_->lock);
    auto it = shared_->Find(action);
    if (it == shared_->actions.end()) return;
    std::vector<KeyCombo>& combos = (*it)->combos;
    if (combos.empty()) combos.emplace_back();
    combos[0] = KeyCombo{BindingSlot(binding, 1),
                         BindingSlot(binding, 2),
                         BindingSlot(binding, 3),
                         BindingExtraByte(binding),
                         false,
                         false};
}

void HotkeyManager::SetCaptureMode(bool on, platform::IMessageTarget* window, uint32_t message) {
    std::lock_guard guard(shared_->lock);
    shared_->captureOn = on;
    shared_->captureWindow = window;
    shared_->captureMessage = message;
    // A key counts as already down when any held combination has it, so it is not reported as a new
    // press, only its release. Empty slots stand for no key.
    shared_->keyTable.fill(0);
    for (const std::unique_ptr<HotkeyAction>& action : shared_->actions) {
        for (const KeyCombo& combo : action->combos) {
            if (!combo.pressed) continue;
            for (const int32_t key : {combo.key1, combo.key2, combo.key3}) {
                if (key > 0 && key < static_cast<int32_t>(shared_->keyTable.size()))
                    shared_->keyTable[static_cast<size_t>(key)] = 1;
            }
        }
    }
}

void HotkeyManager::RemoveAction(HotkeyAction* action) {
    if (action == nullptr) return;
    std::unique_ptr<HotkeyAction> removed;
    {
        std::lock_guard guard(shared_->lock);
        auto it = shared_->Find(action);
        if (it == shared_->actions.end()) return;
        removed = std::move(*it);
        shared_->actions.erase(it);
    }
}

void HotkeyManager::DispatchAction(uintptr_t wParam, intptr_t lParam) {
    HotkeyAction* action = nullptr;
    HotkeyCallback callback = nullptr;
    void* context = nullptr;
    {
        std::lock_guard guard(shared_->lock);
        // A message may name an action that no longer exists.
        for (const std::unique_ptr<HotkeyAction>& a : shared_->actions) {
            if (static_cast<intptr_t>(a->id) == lParam) {
                action = a.get();
                callback = a->callback;
                context = a->context;
                break;
            }
        }
    }
    if (action != nullptr && callback != nullptr) callback(action, context, wParam != 0);
}

void StopHotkeys(std::unique_ptr<HotkeyManager>& manager,
                 std::initializer_list<HotkeyAction*> windowActions) {
    if (!manager) return;
    if (gHotkeyManager == manager.get()) gHotkeyManager = nullptr;
    for (HotkeyAction* action : windowActions) manager->RemoveAction(action);
    manager.reset();
}
