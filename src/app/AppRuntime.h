#pragma once
// The long-lived objects the program makes at start, with their one owner. The log and the option
// registry exist from static initialisation on (options register themselves before main) and stay
// process-wide; the main window owns the magnifier display, the hotkey manager and the tray icon. The
// process-wide pointers (gLanguageStrings, gMainWindow, gMagnifierDisplay, gHotkeyManager) only view
// what is owned here. UI thread only.

#include <memory>

#include "localization/LanguageStrings.h"
#include "shell/MainWindow.h"

struct AppRuntime {
    std::unique_ptr<LanguageStrings> languageStrings;
    std::unique_ptr<MainWindow> mainWindow;
};
