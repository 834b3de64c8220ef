#pragma once
// The program's icon in the notification area, for as long as the main window lives. A left click
// brings the main window back and to the front; a right click opens a menu whose one item ends the
// program by posting the close command to the main window.
//
// On X11 the icon docks in an XEmbed tray or registers as a StatusNotifierItem; a tray that starts or
// restarts later gets the icon again (Qt re-docks it when the tray's manager selection changes). Where
// no tray exists the program works the same, without the icon. UI thread only.

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <cstdint>

class QWindow;

namespace platform {
class IMessageTarget;
}

class CNotifyIcon : public QObject {
    Q_OBJECT
public:
    // The message and command id the menu item posts: WM_COMMAND with the item "TRAYMENU_CLOSE".
    static constexpr uint32_t kCommandMessage = 0x0111;
    static constexpr uintptr_t kCloseCommand = 40001;
    // What the notification area shows of a tip, and what is kept of it.
    static constexpr int kShownTipLength = 63;
    static constexpr int kKeptTipLength = 255;

    // window: the main window a left click brings back (may be null); commands: where the menu's command
    // goes. Adds the icon at once; deleting the object removes it.
    CNotifyIcon(QWindow* window, platform::IMessageTarget* commands, QObject* parent = nullptr);
    ~CNotifyIcon() override;

    // Shows the first kShownTipLength code units of tip.
    void SetTip(const QString& tip);
    // The last tip given, at most kKeptTipLength code units.
    const QString& Tip() const { return tip_; }
    // The first units code units of text, one fewer where the last would be half a surrogate pair.
    static QString CutText(const QString& text, int units);

    // What a click on the icon does.
    void HandleActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon& icon() { return icon_; }
    QMenu& menu() { return menu_; }

private:
    void RestoreWindow();

    QSystemTrayIcon icon_;
    QMenu menu_;
    QPointer<QWindow> window_;
    platform::IMessageTarget* commands_;
    QString tip_;
};
