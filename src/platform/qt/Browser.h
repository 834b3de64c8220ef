#pragma once
// Opening a web address in the user's browser (the desktop's handler for web addresses). The result is
// not the page loading: only whether a browser could be started. UI thread. Tests install a handler that
// records the addresses instead.

#include <functional>
#include <string>

namespace platform {

// False when no browser could be started; the failure is logged by the caller's convention.
bool OpenInBrowser(const std::string& address);

using BrowserHandler = std::function<bool(const std::string& address)>;
// Replaces the browser; an empty handler restores it. Returns the previous handler.
BrowserHandler SetBrowserHandler(BrowserHandler handler);

}  // namespace platform
