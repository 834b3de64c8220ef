#pragma once
#include <string>

// The log file for a "-logpath" value: "mydocs" gives Lentora.txt in Documents; a value ending in a
// separator is a folder (created when missing) holding Lentora.txt; an existing folder holds
// Lentora.txt; any other value is the file itself. Without a value: a file named after the start time
// in the logs folder.
std::string LogFilePath(const std::string& value);
