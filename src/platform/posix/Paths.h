#pragma once
// Where things are on this system: the executable, the XDG base folders, the user's Documents.
// Paths are UTF-8. Folder results end without a separator unless stated.

#include <string>

namespace platform {

// Full path of the running executable (/proc/self/exe), empty when it cannot be read.
std::string ExecutablePath();

std::string HomeFolder();
// $XDG_CONFIG_HOME, else ~/.config. Empty or relative values of the variable are ignored.
std::string ConfigHome();
// $XDG_STATE_HOME, else ~/.local/state. Empty or relative values are ignored.
std::string StateHome();
// $XDG_RUNTIME_DIR when it is an absolute path, else a private folder in /tmp for this user.
std::string RuntimeFolder();
// The user's Documents folder as `xdg-user-dir DOCUMENTS` reports it; empty when that fails.
std::string DocumentsFolder();

// Login name of the real user; empty when it cannot be found.
std::string UserName();

bool IsDirectory(const std::string& path);
bool PathExists(const std::string& path);

// Creates one folder level; returns 0 or the errno value (EEXIST included, the caller decides).
int MakeDirectory(const std::string& path, unsigned mode);
// Creates every missing level with the given mode; returns 0 or the errno of the first failure.
int MakeDirectoryPath(const std::string& path, unsigned mode);
// Sets the permission bits; returns 0 or errno.
int SetPermissions(const std::string& path, unsigned mode);
// Permission bits of a path, or -1 when it cannot be read.
int Permissions(const std::string& path);

}  // namespace platform
