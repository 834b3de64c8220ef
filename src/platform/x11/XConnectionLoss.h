#pragma once
// What happens when the X server goes away. Every X connection of the process then fails at once, on
// whichever threads use them, and Qt ends the process with exit() from the UI thread. exit() first
// destroys the static objects made last, which the render thread may still be using (a crash, no
// saved options), so the program's ending runs before it: as soon as Qt or Xlib reports the loss.
//
// The ending runs once: the first thread to report the loss runs it; any other waits for the process
// to end. A worker thread whose connection broke asks the UI thread first, and ends the process itself
// only if the UI thread does not do so within a bounded time (it may be waiting on a lock the worker
// holds).

#include <chrono>
#include <functional>

namespace platform {

// Call on the UI thread once the application object exists (it replaces Qt's and Xlib's handlers).
// onLost saves what must be saved and ends the process without returning.
void EndProcessOnXConnectionLoss(std::function<void()> onLost);

// Runs onLost once for the whole process; a second caller never returns. For exit paths that are not
// an X connection loss reported here (an exit() from elsewhere).
[[noreturn]] void RunConnectionLossEnding();

// How long a worker thread waits for the UI thread before ending the process itself.
inline constexpr std::chrono::milliseconds kUiThreadEndWait{2000};

}  // namespace platform
