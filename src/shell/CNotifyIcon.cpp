#include "shell/CNotifyIcon.h"

#include <QAction>
#include <QWindow>

#include "localization/LocalizeMenu.h"
#include "log/IDebugPrint.h"
#include "platform/IMessageTarget.h"
#include "shell/ProgramIcon.h"

CNotifyIcon::CNotifyIcon(QWindow* window, platform::IMessageTarget* commands, QObject* parent)
    : QObject(parent), window_(window), commands_(commands) {
    // The item holds its string id; the menu is localized each time it opens, so it follows the language.
    QAction* close = menu_.addAction(QStringLiteral("TRAYMENU_CLOSE"));
    connect(close, &QAction::triggered, this, [this] {
        if (commands_ != nullptr) commands_->Post(kCommandMessage, kCloseCommand, 0);
    });
    connect(&menu_, &QMenu::aboutToShow, this, [this] { LocalizeMenu(&menu_); });
    icon_.setContextMenu(&menu_);
    connect(&icon_, &QSystemTrayIcon::activated, this, &CNotifyIcon::HandleActivated);

    icon_.setIcon(ProgramIcon());
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        Log() << "[APP]"
              << "No notification area yet: the tray icon shows when one starts" << LogEnd;
    }
    icon_.show();
}

CNotifyIcon::~CNotifyIcon() = default;

QString CNotifyIcon::CutText(const QString& text, int units) {
    if (text.size() <= units) return text;
    return text.left(text.at(units - 1).isHighSurrogate() ? units - 1 : units);
}

void CNotifyIcon::SetTip(const QString& tip) {
    tip_ = CutText(tip, kKeptTipLength);
    icon_.setToolTip(CutText(tip, kShownTipLength));
}

void CNotifyIcon::HandleActivated(QSystemTrayIcon::ActivationReason reason) {
    // A second left click soon after the first comes as a double click: it brings the window back too.
    // The context menu opens by itself on a right click.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) RestoreWindow();
}

void CNotifyIcon::RestoreWindow() {
    if (window_.isNull()) return;
    if (!window_->isVisible() || (window_->windowStates() & Qt::WindowMinimized)) {
        window_->showNormal();
    } else {
        window_->show();
    }
    window_->raise();
    window_->requestActivate();
}
