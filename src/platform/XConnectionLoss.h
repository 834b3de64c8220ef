#pragma once
// What happens when the X server goes away. Every Xlib connection of the process then fails at once,
// on whichever threads use them; if each called exit(), the exits would run side by side and crash.
// With this guard only the UI thread ends the process (running the exit handlers once); another thread
// whose connection broke asks the UI thread to end it and waits there.

namespace platform {

// Call on the UI thread once the application object exists (it installs a handler of its own, which
// this one replaces).
void EndProcessOnXConnectionLoss();

}  // namespace platform
