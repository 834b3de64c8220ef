#include "platform/posix/LogonTaskStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/FileIo.h"
#include "platform/posix/Paths.h"

namespace platform {

std::string XdgAutostartStore::DefaultFolder(bool elevated) {
    if (elevated) return "/etc/xdg/autostart";
    const std::string config = ConfigHome();
    return config.empty() ? std::string() : config + "/autostart";
}

std::string XdgAutostartStore::EntryPath(const std::string& name) const {
    return folder_ + "/" + name + ".desktop";
}

int XdgAutostartStore::Exists(const std::string& name) const {
    if (folder_.empty()) return ENOENT;
    struct stat st {};
    if (stat(EntryPath(name).c_str(), &st) != 0) return errno;
    return S_ISREG(st.st_mode) ? 0 : ENOENT;
}

int XdgAutostartStore::Remove(const std::string& name) {
    if (folder_.empty()) return ENOENT;
    return unlink(EntryPath(name).c_str()) == 0 ? 0 : errno;
}

int XdgAutostartStore::Write(const std::string& name, const std::string& contents) {
    if (folder_.empty()) return ENOENT;
    // Entries in the machine-wide folder must be readable by every user's session; a user's own stay his.
    const bool machineWide = folder_.rfind("/etc/", 0) == 0;
    if (int rc = MakeDirectoryPath(folder_, machineWide ? 0755 : 0700)) return rc;
    int rc = ReplaceFileAtomically(EntryPath(name), contents);
    if (rc == 0 && machineWide) rc = SetPermissions(EntryPath(name), 0644);
    return rc;
}

}  // namespace platform
