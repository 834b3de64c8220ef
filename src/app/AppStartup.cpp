#include "app/AppStartup.h"

#include <memory>

#include "app/AppFolders.h"
#include "app/AppRuntime.h"
#include "app/LanguageList.h"
#include "app/LogFilePath.h"
#include "app/SystemVersion.h"
#include "localization/LanguageStrings.h"
#include "localization/VersionText.h"
#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "options/ConfigFile.h"
#include "options/OptionCatalogue.h"
#include "options/OptionRegistry.h"
#include "platform/posix/FileIo.h"
#include "platform/posix/Paths.h"
#include "platform/posix/SystemError.h"
#include "platform/qt/InstanceLock.h"
#include "platform/qt/MessageBox.h"
#include "platform/x11/Session.h"
#include "shell/LogonTask.h"
#include "text/WideText.h"

namespace {

// Held until the process ends, so a second start of this session sees it.
platform::InstanceLock gInstanceLock;
bool gShutDown = false;

std::string ExecutableFileName() {
    const std::string exe = platform::ExecutablePath();
    const auto slash = exe.rfind('/');
    return text::ToLowerAscii(slash == std::string::npos ? exe : exe.substr(slash + 1));
}

}  // namespace

std::string LogPathArgument(int argc, char** argv) {
    std::string value;
    // Every argument is examined, a value included, so "-logpath -logpath x" selects x.
    for (int i = 0; i < argc; ++i) {
        if (argv[i] != nullptr && std::string(argv[i]) == "-logpath" && i + 1 < argc &&
            argv[i + 1] != nullptr) {
            value = argv[i + 1];
        }
    }
    return value;
}

bool AppStartup(int argc, char** argv, AppRuntime& runtime) {
    switch (gInstanceLock.Acquire("Lentora_IsRunningMutex")) {
        case platform::InstanceLock::Result::Acquired:
            break;
        case platform::InstanceLock::Result::HeldByOther:
            return false;  // another instance runs in this session: end silently
        case platform::InstanceLock::Result::Failed:
            platform::ShowMessageBox(u"Error creating Lentora mutex", u"Lentora",
                                     platform::MessageIcon::Error);
            return false;
    }

    PrepareAppDataFolder();

    const std::string logPathArgument = LogPathArgument(argc, argv);
    std::string logPath = LogFilePath(logPathArgument);
    // A log the user asked for that cannot be written goes to the usual place, which says why.
    std::string notWritten;
    if (!logPathArgument.empty()) {
        if (const int rc = platform::AppendFile(logPath, {}); rc != 0) {
            notWritten = (logPath.empty() ? logPathArgument : logPath) + " : " + std::to_string(rc) + " " +
                         platform::ErrorText(rc);
            logPath = LogFilePath({});
        }
    }
    const std::u16string tag = text::ToWide(ExecutableFileName());
    Log().Init(u"Lentora", logPath, tag.c_str(), true);
    if (!notWritten.empty()) Log() << LogError << "Cannot write the log to " << notWritten << LogEnd;
    Log() << "Log file path: " << logPath << LogEnd;
    Log() << "Command line : " << platform::CommandLineText(argc, argv) << LogEnd;
    Log() << "App data path: " << AppDataPath("") << LogEnd;

    LoadConfig(AppDataPath("config.json"));

    // The autostart entry, not the file, tells whether the program starts at logon.
    options::appLaunchWindows.SetBool(TaskExists());

    Log() << "Loading language files" << LogEnd;
    runtime.languageStrings = std::make_unique<LanguageStrings>(LocaleFolder());
    gLanguageStrings = runtime.languageStrings.get();
    const std::u16string language = gLanguageStrings->SetLanguage(text::ToWide(options::uiLanguage.Text()));
    options::uiLanguage.SetText(text::ToNarrow(language));
    GetOrCreateOption(options::kLanguagesJsonKey, true)
        .SetText(LanguagesJson(gLanguageStrings->ListLanguages()));

    Log() << "Elevated   : " << (IsElevated() ? "Yes" : "No") << LogEnd;

    // Deferred: the file gets the new number at the next save; this run still reads the previous one.
    options::previousVersion.SetText(std::to_string(kBuildNumber));

    Log() << "App version: " << AppVersionText() << LogEnd;
    const WindowsVersion& v = GetWindowsVersion();
    Log() << "Detected Linux " << WindowsName(v) << " build " << v.release << LogEnd;

    if (platform::IsWaylandSession()) {
        LogFailureText(LogTag::kApp, "Wayland session", "only X11 windows can be captured and shown");
        platform::ShowMessageBox(
            u"Lentora needs an X11 session. In this Wayland session it can magnify only programs that run on "
            u"X11.",
            u"Lentora", platform::MessageIcon::Warning);
    }

    Log().EndLine();
    return true;
}

void AppShutdown(AppRuntime& runtime) {
    if (gShutDown) return;
    gShutDown = true;
    gLanguageStrings = nullptr;
    runtime.languageStrings.reset();
    SaveConfig();
    Log() << "END" << LogEnd;
    Log().Close();
}
