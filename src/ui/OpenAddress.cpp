#include "ui/OpenAddress.h"

#include "log/LogFailure.h"
#include "platform/qt/Browser.h"

void OpenAddress(const std::string& address) {
    if (!platform::OpenInBrowser(address)) LogFailureText(LogTag::kApp, "OpenInBrowser", address);
}
