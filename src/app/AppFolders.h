#pragma once
// The program's folders: the executable's, the application-data folder (config.json) in the user's
// XDG config home, the state folder for logs, and where the language files lie. All paths UTF-8;
// folders end with '/'.

#include <string>

// Records ExeFolder, creates the application-data folder and makes it the user's own (0700).
void PrepareAppDataFolder();

// The executable's folder; empty until PrepareAppDataFolder has run.
const std::string& ExeFolder();
// $XDG_CONFIG_HOME/Lentora/ followed by relative; empty (after a message box) when there is no home.
std::string AppDataPath(const std::string& relative);
// $XDG_STATE_HOME/Lentora/ followed by relative; the logs live here.
std::string AppStatePath(const std::string& relative);
// The language files: "locale/" beside the executable, else <prefix>/share/lentora/locale/.
std::string LocaleFolder();

// Creates one folder level (0700); true when the folder exists afterwards. A failure is logged in three
// lines and shown in a message box.
bool CreateFolder(const std::string& path);

// Opening objects to sandboxed processes has no counterpart here: always "not supported" (50).
int ShareWithSandboxes(const std::string& objectName, int objectType);
bool IsElevated();
std::string SystemErrorText(int code);
