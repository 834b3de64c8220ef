#pragma once
#include <string>

// Opens a web address in the user's browser. Nothing is shown to the user when no browser starts (the
// page has nowhere to say it); the log tells.
void OpenAddress(const std::string& address);
