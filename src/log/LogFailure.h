#pragma once
// The one way a failed call is written to the log: an error line with the component's tag, "[Error] ",
// the call's name, " : " and its result (system and X error codes in decimal, graphics codes in
// hexadecimal).

#include <string>

#include "platform/CallFailure.h"

// The component tags of the log.
namespace LogTag {
inline constexpr const char* kRender = "(render)";
inline constexpr const char* kMagnifier = "[Magnifier]";
inline constexpr const char* kCapture = "[DXGI]";
inline constexpr const char* kApp = "[APP]";
inline constexpr const char* kTaskScheduler = "[TaskScheduler]";
inline constexpr const char* kHotkeys = "[Hotkeys]";
inline constexpr const char* kNone = "";
}  // namespace LogTag

using platform::CallFailure;

void LogFailure(const char* tag, const std::string& call, long code);
void LogFailureHex(const char* tag, const std::string& call, unsigned code);
// For results that are text (a driver's message, an exception's).
void LogFailureText(const char* tag, const std::string& call, const std::string& result);
// A failure whose message already names the call and its result (an HRError's text), or that has no
// call behind it.
void LogFailureMessage(const char* tag, const std::string& message);
// The same line as an information line, where a failure is expected and handled (the logon task).
void LogFailureNote(const char* tag, const std::string& call, long code);
inline void LogFailure(const char* tag, const CallFailure& f) { LogFailure(tag, f.call, f.code); }

// Logs a failure once per failing stretch: the first failure after a success is written, the rest are
// counted; the next success ends the stretch. One per kind of failure; not shared between threads.
class FailureStretch {
public:
    // True when this failure is the first of its stretch (and so was logged).
    bool Failed(const char* tag, const CallFailure& f);
    void Succeeded() { failing_ = false; }
    bool failing() const { return failing_; }

private:
    bool failing_ = false;
};
