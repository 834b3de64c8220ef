#pragma once
// The hotkeys. A thread of its own reads the keyboard and the mouse buttons every 33 ms, and between
// reads takes every key and button transition as it comes (where the key state sees them), and posts
// the action message to the main window when a bound combination becomes held (wParam 1) or stops
// being held (wParam 0), the action's id in lParam; the main window hands it back to
// DispatchAction, which calls the action's callback on the UI thread. While a binding is recorded,
// capture mode posts every key transition instead. No grabs, no hooks, whichever window has the focus.
//
// Every operation runs on the UI thread; the polling thread only reads the keys and posts.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>

#include "hotkeys/HotkeyBinding.h"
#include "hotkeys/HotkeyCallback.h"
#include "platform/IKeyState.h"
#include "platform/IMessageTarget.h"

class HotkeyManager {
public:
    static constexpr uint32_t kPollIntervalMs = 33;
    static constexpr uint32_t kActionMessage = 1025;   // WM_USER + 1
    static constexpr uint32_t kCaptureMessage = 1026;  // WM_USER + 2, what the binding recorder asks for
    static constexpr int kStopWaitMs = 1000;

    // Makes the key state on the polling thread, which then owns it. Empty: the X server's, over a
    // connection of the thread's own.
    using KeyStateFactory = std::function<std::unique_ptr<platform::IKeyState>()>;

    // Starts the polling thread; the first poll comes one interval later. actionWindow receives the
    // action messages and must stay alive until Stop has returned.
    explicit HotkeyManager(platform::IMessageTarget* actionWindow, KeyStateFactory keyState = {},
                           uint32_t pollIntervalMs = kPollIntervalMs);
    HotkeyManager(const HotkeyManager&) = delete;
    HotkeyManager& operator=(const HotkeyManager&) = delete;
    // Stops the thread, then frees every action still registered.
    ~HotkeyManager();

    // A new action without combination or callback, appended to the list. name may be null ("").
    HotkeyAction* RegisterAction(const char* name);
    // The first action of that name; null when there is none.
    HotkeyAction* FindAction(const std::string& name);
    // No callback: the action is not polled and its combinations keep their state until it returns.
    void SetActionCallback(HotkeyAction* action, HotkeyCallback callback, void* context);
    // Sets the action's first combination from the binding, its state cleared. A binding with Escape
    // is refused with a warning box and the action keeps its previous one.
    void SetBinding(HotkeyAction* action, HotkeyBinding binding);
    // While on, no action fires: every transition of codes 0-254 is posted to window as (message,
    // 1 down / 0 up, code). Keys of combinations held now count as already down. window must stay
    // alive until capture mode is switched off or Stop has returned.
    void SetCaptureMode(bool on, platform::IMessageTarget* window, uint32_t message);
    // Handles of actions not in the list are ignored, here and in every operation above.
    void RemoveAction(HotkeyAction* action);
    // The main window's handler of the action message. Messages of actions removed or without
    // callback by now are dropped. The callback runs without the lock: it may change actions.
    void DispatchAction(uintptr_t wParam, intptr_t lParam);

    // Ends the polling thread, waiting at most kStopWaitMs. A thread that does not end in time is
    // logged and left to end by itself; it posts nothing more either way.
    void Stop();

private:
    struct Shared;
    static void HandleHotkeysThread(std::shared_ptr<Shared> shared, KeyStateFactory keyState);

    std::shared_ptr<Shared> shared_;  // with the polling thread, which may outlive a stuck Stop
    std::thread thread_;              // UI thread only
};

// The process's manager while it exists: owned by the main window. UI thread only.
extern HotkeyManager* gHotkeyManager;

// Shutdown, when the main window closes: removes the window's actions, stops the polling thread and
// frees the manager (gHotkeyManager no longer points to it). Does nothing without one.
void StopHotkeys(std::unique_ptr<HotkeyManager>& manager, std::initializer_list<HotkeyAction*> windowActions);
