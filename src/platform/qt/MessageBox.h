#pragma once
// The program's message box. Shown on the UI thread; a call from another thread waits there until the
// user has dismissed it. Tests install a handler that records the boxes instead of showing them.

#include <functional>
#include <string>

namespace platform {

enum class MessageIcon { Error, Warning, Information };

struct MessageBoxRecord {
    std::u16string text;
    std::u16string caption;
    MessageIcon icon;
};

void ShowMessageBox(const std::u16string& text, const std::u16string& caption, MessageIcon icon);
// From any thread, without waiting: the UI thread shows the box when it next handles events (at once on
// the UI thread itself). For threads that must never wait for the user.
void ShowMessageBoxLater(const std::u16string& text, const std::u16string& caption, MessageIcon icon);

// True while some other thread waits for the UI thread to show its box.
bool MessageBoxWaiting();
// Closes every box shown now as if the user had dismissed it (the program is asked to end). UI thread.
void CloseMessageBoxes();

using MessageBoxHandler = std::function<void(const MessageBoxRecord&)>;
// Replaces the real box; an empty handler restores it. Returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace platform
