#include "shell/LogonTask.h"

#include <cerrno>

#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "platform/posix/Elevation.h"
#include "platform/posix/Paths.h"

namespace {

// A failure of the logon task is an information line: the program goes on without it.
void LogFailure(const char* call, int code) { LogFailureNote(LogTag::kTaskScheduler, call, code); }

// Exec= quoting of the desktop entry format: the path in double quotes, where ", `, $ and \ take a
// backslash; the string escape of the file then doubles every backslash. % is doubled (field codes).
std::string QuoteExec(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$') {
            out += "\\\\";
            out.push_back(c);
        } else if (c == '\\') {
            out += "\\\\\\\\";
        } else if (c == '%') {
            out += "%%";
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

}  // namespace

std::string LogonTaskIdentity::TaskName() const { return elevated ? "Lentora" : "Lentora_" + userName; }

std::string LogonTask::EntryText(const std::string& programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Lentora\n"
           "Comment=Starts Lentora when you log on\n"
           "Exec=" +
           QuoteExec(programPath) +
           "\n"
           "Icon=com.lorx.Lentora\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n"
           "X-GNOME-Autostart-Delay=15\n"
           "X-Lentora-Author=Lentora\n";
}

bool LogonTask::TaskExists() const {
    const int rc = store_.Exists(identity_.TaskName());
    if (rc == 0) return true;
    if (rc != ENOENT) LogFailure("LogonTaskStore::Exists", rc);
    return false;
}

bool LogonTask::SetLogonTask(const std::string& path) {
    const std::string name = identity_.TaskName();
    store_.Remove(name);  // there may be none; that is fine
    if (path == "OFF") return true;
    if (const int rc = store_.Write(name, EntryText(path)); rc != 0) {
        LogFailure("LogonTaskStore::Write", rc);
        return false;
    }
    return true;
}

namespace {
LogonTask ProcessTask() {
    static platform::XdgAutostartStore store(
        platform::XdgAutostartStore::DefaultFolder(platform::IsEffectiveRoot()));
    return LogonTask(store, LogonTaskIdentity{platform::UserName(), platform::IsEffectiveRoot()});
}
}  // namespace

bool TaskExists() { return ProcessTask().TaskExists(); }
bool SetLogonTask(const std::string& path) { return ProcessTask().SetLogonTask(path); }
