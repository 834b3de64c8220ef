#pragma once
// Start at logon: an XDG autostart entry that starts the program 15 s after the user logs on. A normal
// user's entry is "Lentora_<user>" in his own autostart folder; root's is "Lentora" for every user.

#include <string>

#include "platform/posix/LogonTaskStore.h"

struct LogonTaskIdentity {
    std::string userName;
    bool elevated = false;
    // "Lentora" when elevated, else "Lentora_" and the user name.
    std::string TaskName() const;
};

class LogonTask {
public:
    LogonTask(platform::ILogonTaskStore& store, LogonTaskIdentity identity)
        : store_(store), identity_(std::move(identity)) {}

    bool TaskExists() const;
    // Removes the entry, then, unless path is "OFF", writes it anew to start path.
    bool SetLogonTask(const std::string& path);

    // The entry's text for a program path.
    static std::string EntryText(const std::string& programPath);

private:
    platform::ILogonTaskStore& store_;
    LogonTaskIdentity identity_;
};

// The same for this process: its user, its elevation, its autostart folder.
bool TaskExists();
bool SetLogonTask(const std::string& path);
