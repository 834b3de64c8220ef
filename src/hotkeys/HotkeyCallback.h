#pragma once
// What an action calls on the UI thread: the action's handle, the context given with the callback, and
// whether its combination is now held.

struct HotkeyAction;

using HotkeyCallback = void (*)(HotkeyAction* action, void* context, bool pressed);
