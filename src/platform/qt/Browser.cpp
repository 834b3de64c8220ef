#include "platform/qt/Browser.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <utility>

namespace platform {
namespace {
BrowserHandler gHandler;  // UI thread
}

BrowserHandler SetBrowserHandler(BrowserHandler handler) {
    return std::exchange(gHandler, std::move(handler));
}

bool OpenInBrowser(const std::string& address) {
    if (gHandler) return gHandler(address);
    // Strict: an address that does not parse is never handed on.
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    if (!url.isValid()) return false;
    return QDesktopServices::openUrl(url);
}

}  // namespace platform
