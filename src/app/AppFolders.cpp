#include "app/AppFolders.h"

#include <QCoreApplication>
#include <cerrno>

#include "log/IDebugPrint.h"
#include "platform/posix/Elevation.h"
#include "platform/posix/Paths.h"
#include "platform/posix/SystemError.h"
#include "platform/qt/MessageBox.h"
#include "text/WideText.h"

#ifndef LENTORA_DATADIR
#define LENTORA_DATADIR "share"
#endif

namespace {

std::string gExeFolder;  // set once at start-up, UI thread

constexpr int kErrorNotSupported = 50;

std::string WithSlash(std::string s) {
    if (!s.empty() && s.back() != '/') s.push_back('/');
    return s;
}

std::string ParentOf(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const auto slash = folder.rfind('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

}  // namespace

const std::string& ExeFolder() { return gExeFolder; }

std::string AppDataPath(const std::string& relative) {
    const std::string base = platform::ConfigHome();
    if (base.empty()) {
        platform::ShowMessageBox(u"Cannot get $XDG_CONFIG_HOME path", u"Lentora",
                                 platform::MessageIcon::Error);
        // Ends the program once its event loop runs.
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return {};
    }
    return base + "/Lentora/" + relative;
}

std::string AppStatePath(const std::string& relative) {
    const std::string base = platform::StateHome();
    if (base.empty()) return {};
    return base + "/Lentora/" + relative;
}

std::string LocaleFolder() {
    const std::string beside = gExeFolder + "locale/";
    if (platform::IsDirectory(beside)) return beside;
    return ParentOf(gExeFolder) + LENTORA_DATADIR "/lentora/locale/";
}

bool CreateFolder(const std::string& path) {
    int code = platform::MakeDirectory(path, 0700);
    if (code == 0) return true;
    if (code == EEXIST) {
        if (platform::IsDirectory(path)) return true;
        code = ENOTDIR;  // something else has the name
    }
    const std::string msg = SystemErrorText(code);
    Log() << "CreateDirectory error: " << code << LogEnd;
    Log() << "\tmsg: " << msg << LogEnd;
    Log() << "\tdir: " << path << LogEnd;
    platform::ShowMessageBox(u"CreateDirectory error: " + text::ToWide(msg), u"Lentora",
                             platform::MessageIcon::Error);
    return false;
}

void PrepareAppDataFolder() {
    const std::string exe = platform::ExecutablePath();
    const auto slash = exe.rfind('/');
    gExeFolder = slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);

    const std::string folder = AppDataPath("");
    if (folder.empty()) return;
    // The XDG base folder itself may not exist yet on a new account.
    platform::MakeDirectoryPath(WithSlash(platform::ConfigHome()), 0700);
    if (!CreateFolder(folder)) return;
    if (const int rc = platform::SetPermissions(folder, 0700); rc != 0) {
        Log() << LogError << "Cannot change security permissions for " << folder << " : " << rc << LogEnd;
    }
}

int ShareWithSandboxes(const std::string&, int) { return kErrorNotSupported; }

bool IsElevated() { return platform::IsEffectiveRoot(); }

std::string SystemErrorText(int code) { return platform::ErrorText(code); }
