#pragma once
// The one configuration window, and the owner of everything that lives as long as the user interface:
// the magnifier display, the hotkey manager with the actions "enable_editor" and "magnification", and
// the tray icon. It routes the messages posted to it (hotkey actions, captured keys, the tray menu's
// close command), remembers its place between runs, can start minimized and can minimize instead of
// closing. Closing it for good ends the program. UI thread only.
//
// The window itself is the QML ApplicationWindow of the module LentoraApp; this object is its view
// (texts through Localize, the navigation state) and holds the QQuickWindow it loaded.

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

#include "localization/ILocalizerView.h"
#include "platform/qt/MessageTarget.h"
#include "shell/Navigation.h"

class CNotifyIcon;
class HotkeyManager;
class MagnifierDisplay;
class QQmlApplicationEngine;
class QQuickWindow;
struct HotkeyAction;

namespace platform {
class IWindowGeometry;
}

class MainWindow : public ILocalizerView {
    Q_OBJECT
    Q_PROPERTY(QString selectedTag READ selectedTag NOTIFY pageChanged)
    Q_PROPERTY(QUrl pageSource READ pageSource NOTIFY pageChanged)
public:
    // The window's client size in logical pixels; it cannot be resized or maximized.
    static constexpr int kWidth = 1100;
    static constexpr int kHeight = 650;

    // Runs last when the window has closed for good: the program's shutdown.
    using ShutdownHandler = std::function<void()>;

    // Builds the whole running system; see MainWindow.cpp for the order.
    explicit MainWindow(ShutdownHandler shutdown, QObject* parent = nullptr);
    ~MainWindow() override;

    // Shows the window and gives it the focus; minimized: shows it minimized, without the focus.
    void Activate(bool minimized);
    // Ends the program by closing the window, also when app.close_minimize asks to minimize instead.
    void RequestExit();

    // Shows the page of a navigation tag ("Profile", "Settings", "Help", "Reticula"), or the translation
    // viewer ("Localization"), which has no navigation item.
    Q_INVOKABLE void Navigate(const QString& tag);
    // The first-start wizard's link to the users' community, opened in the browser.
    Q_INVOKABLE void OpenCommunity();

    QString selectedTag() const { return navigation_.selectedTag(); }
    // The markup of the page shown; empty while the frame shows none or the page has no markup yet.
    QUrl pageSource() const;
    // The type name of the page shown, such as "LentoraApp.Profile".
    const QString& currentPage() const { return navigation_.currentPage(); }

    // The window, null when its markup could not be loaded.
    QQuickWindow* window() const { return window_; }
    platform::IMessageTarget& messageTarget() { return messageTarget_; }

signals:
    void pageChanged();
    // The first start: the window shows its wizard.
    void wizardRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadWindow();
    void PlaceWindow();
    void CreateMagnifier();
    void CreateHotkeys();
    void HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    void CloseWindow();
    // The close request: false when the window minimizes instead.
    bool OnClosing();
    void StoreWindowPlace();
    void OnClosed();
    void ReleaseAll();

    static void MagnificationCallback(HotkeyAction* action, void* context, bool pressed);
    static void EditorCallback(HotkeyAction* action, void* context, bool pressed);

    std::unique_ptr<QQmlApplicationEngine> engine_;
    QQuickWindow* window_ = nullptr;  // owned by engine_
    std::unique_ptr<platform::IWindowGeometry> geometry_;
    platform::MessageTarget messageTarget_;
    // Owned here; gMagnifierDisplay and gHotkeyManager view the first two.
    std::unique_ptr<MagnifierDisplay> magnifier_;
    std::unique_ptr<HotkeyManager> hotkeys_;
    std::unique_ptr<CNotifyIcon> trayIcon_;
    HotkeyAction* editorAction_ = nullptr;
    HotkeyAction* magnificationAction_ = nullptr;
    Navigation navigation_;
    bool exitRequested_ = false;
    bool closing_ = false;  // the close went ahead: messages are no longer handled
    bool closed_ = false;
    ShutdownHandler shutdown_;
};

// The main window while it exists. UI thread only.
extern MainWindow* gMainWindow;
