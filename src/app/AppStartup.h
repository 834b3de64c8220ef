#pragma once
// Start-up and shutdown of the program, on the UI thread.

#include <string>

struct AppRuntime;

// True when this process is the only instance and everything the main window needs is in place; the
// language tables go into runtime.
bool AppStartup(int argc, char** argv, AppRuntime& runtime);
// Frees the language tables, saves the options and closes the log. Runs once; later calls do nothing.
void AppShutdown(AppRuntime& runtime);

// The "-logpath" value of a command line: the argument after the last "-logpath" that has one.
std::string LogPathArgument(int argc, char** argv);
