#include "shell/MainWindow.h"

#include <QtQml/qqmlextensionplugin.h>
#include <QEvent>
#include <QFile>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <exception>

#include "hotkeys/HotkeyManager.h"
#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "magnifier/MagnifierDisplay.h"
#include "magnifier/OptionGroup.h"
#include "options/OptionCatalogue.h"
#include "platform/Backend.h"
#include "shell/ActionState.h"
#include "shell/CNotifyIcon.h"
#include "shell/LogonTask.h"
#include "shell/ProgramIcon.h"
#include "shell/WindowPlacement.h"
#include "text/WideText.h"
#include "ui/HotkeyButton.h"
#include "ui/OpenAddress.h"
#include "ui/Profile.h"
#include "ui/Settings.h"
#include "ui/WebAddresses.h"

// The module LentoraApp is linked in statically.
Q_IMPORT_QML_PLUGIN(LentoraAppPlugin)

MainWindow* gMainWindow = nullptr;

namespace {
const QUrl kWindowMarkup(QStringLiteral("qrc:/LentoraApp/MainWindow.qml"));
}

MainWindow::MainWindow(ShutdownHandler shutdown, QObject* parent)
    : ILocalizerView(parent),
      messageTarget_([this](uint32_t m, uintptr_t w, intptr_t l) { HandleMessage(m, w, l); }),
      shutdown_(std::move(shutdown)) {
    // The window, sized, placed and framed before it is first shown. The messages posted to it arrive at
    // messageTarget_, which stands in for a window procedure of its own. The title bar is the window
    // manager's.
    gMainWindow = this;
    LoadWindow();
    if (window_ != nullptr) {
        window_->resize(kWidth, kHeight);
        PlaceWindow();
        window_->installEventFilter(this);  // the close request
        window_->setIcon(ProgramIcon());
        // No maximize button; with the minimum size equal to the maximum the window manager offers no
        // resizing either.
        window_->setFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        window_->setMinimumSize(QSize(kWidth, kHeight));
        window_->setMaximumSize(QSize(kWidth, kHeight));
        geometry_ = platform::Backend().WindowGeometry(window_);
    }

    CreateMagnifier();
    CreateHotkeys();

    // The Settings page switches start at logon through the shell's autostart entry.
    Settings::SetLogonTaskHandler([](const std::string& path) { return SetLogonTask(path); });

    trayIcon_ = std::make_unique<CNotifyIcon>(window_, &messageTarget_);
    trayIcon_->SetTip(QStringLiteral("Lentora"));

    // The content has loaded with the window. The first-start wizard shows once per configuration,
    // however it is closed: the option is cleared as it opens.
    Navigate(QStringLiteral("Profile"));
    if (options::appFirstStart.Int() != 0 && window_ != nullptr) {
        emit wizardRequested();
        options::appFirstStart.SetInt(0);
    }
}

void MainWindow::OpenCommunity() { OpenAddress(web::kCommunity); }

MainWindow::~MainWindow() {
    // Normally the closed handler has released everything already.
    ReleaseAll();
    if (window_ != nullptr) window_->removeEventFilter(this);
    engine_.reset();
    if (gMainWindow == this) gMainWindow = nullptr;
}

void MainWindow::LoadWindow() {
    engine_ = std::make_unique<QQmlApplicationEngine>();
    connect(engine_.get(), &QQmlEngine::warnings, this, [](const QList<QQmlError>& warnings) {
        for (const QQmlError& w : warnings) {
            LogFailureText(LogTag::kApp, "QML", w.toString().toStdString());
        }
    });
    engine_->setInitialProperties({{QStringLiteral("view"), QVariant::fromValue<QObject*>(this)}});
    engine_->load(kWindowMarkup);
    const QList<QObject*> roots = engine_->rootObjects();
    window_ = roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.first());
    if (window_ == nullptr) {
        LogFailureText(LogTag::kApp, "Load main window", kWindowMarkup.toString().toStdString());
    }
}

void MainWindow::PlaceWindow() {
    // The rule works in physical pixels, as the monitor list and the stored rectangle are.
    const qreal ratio = window_->devicePixelRatio();
    const int width = static_cast<int>(ratio * kWidth);
    const int height = static_cast<int>(ratio * kHeight);
    const std::optional<WindowPosition> p = MainWindowPosition(options::uiWindowRect.Text(), width, height);
    if (!p) return;  // on no display: the window manager places it
    window_->setFramePosition(QPoint(qRound(p->x / ratio), qRound(p->y / ratio)));
}

void MainWindow::CreateMagnifier() {
    try {
        magnifier_ = std::make_unique<MagnifierDisplay>();
        gMagnifierDisplay = magnifier_.get();
        // The view fades while the main window has the focus and covers it; set before the render
        // thread, which reads it, starts.
        gMagnifierDisplay->SetMainWindow(geometry_.get());
        // The program's own copy of the screen leaves this window out unless the user allows it; other
        // programs' copies cannot be stopped on X11.
        gMagnifierDisplay->SetMainWindowCaptured(options::appCaptureVisible.Int() != 0);
        gMagnifierDisplay->Create(text::ToWide(options::profileSrcDisplay.Text()));
        gMagnifierDisplay->ApplyOptions(AllGroups);
        gMagnifierDisplay->OnViewMoved(true);
        gMagnifierDisplay->Start();
    } catch (const std::exception& e) {
        LogFailureText(LogTag::kMagnifier, "Create magnifier display", e.what());
    } catch (...) {
        LogFailureText(LogTag::kMagnifier, "Create magnifier display", "unknown exception");
    }
}

void MainWindow::CreateHotkeys() {
    hotkeys_ = std::make_unique<HotkeyManager>(&messageTarget_);
    HotkeyButton::SetCaptureWindow(&messageTarget_);
    gHotkeyManager = hotkeys_.get();
    editorAction_ = gHotkeyManager->RegisterAction("enable_editor");
    magnificationAction_ = gHotkeyManager->RegisterAction("magnification");
    gHotkeyManager->SetBinding(editorAction_, options::appHotkeyEditor.Int());
    gHotkeyManager->SetBinding(magnificationAction_, options::profileHotkeyMagnification.Int());
    gHotkeyManager->SetActionCallback(editorAction_, &EditorCallback, this);
    gHotkeyManager->SetActionCallback(magnificationAction_, &MagnificationCallback, this);
}

void MainWindow::Activate(bool minimized) {
    if (window_ == nullptr) return;
    if (minimized) {
        // Mapped iconic from the start: asking the window manager to activate it would restore it.
        window_->showMinimized();
        return;
    }
    window_->show();
    window_->requestActivate();
}

void MainWindow::RequestExit() {
    exitRequested_ = true;
    CloseWindow();
}

void MainWindow::Navigate(const QString& tag) {
    if (navigation_.Navigate(tag)) emit pageChanged();
}

QUrl MainWindow::pageSource() const {
    // "LentoraApp.Profile" is the markup Profile.qml of the module, once the module has it.
    const QString& page = navigation_.currentPage();
    if (page.isEmpty()) return {};
    const QString file = page.mid(page.indexOf(QLatin1Char('.')) + 1) + QStringLiteral(".qml");
    if (!QFile::exists(QStringLiteral(":/LentoraApp/") + file)) return {};
    return QUrl(QStringLiteral("qrc:/LentoraApp/") + file);
}

void MainWindow::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (closing_) return;
    switch (message) {
        case HotkeyManager::kActionMessage:
            if (gHotkeyManager != nullptr) gHotkeyManager->DispatchAction(wParam, lParam);
            break;
        case HotkeyManager::kCaptureMessage:
            // A key transition while a hotkey binding is recorded: to the recording control.
            if (HotkeyButton* b = HotkeyButton::Recording())
                b->OnCapturedKey(static_cast<int>(lParam), wParam != 0);
            break;
        case CNotifyIcon::kCommandMessage:
            if (wParam == CNotifyIcon::kCloseCommand) RequestExit();
            break;
        default:
            break;
    }
}

void MainWindow::CloseWindow() {
    if (closing_) return;
    if (window_ != nullptr && window_->handle() != nullptr) {
        window_->close();  // the close request runs in eventFilter
        return;
    }
    // Never shown: there is no window to ask.
    closing_ = true;
    StoreWindowPlace();
    OnClosed();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Close && !closing_) {
        if (!OnClosing()) {
            event->ignore();
            return true;
        }
        closing_ = true;
        // The place is taken while the window still has it; the rest runs once the window has closed.
        StoreWindowPlace();
        QMetaObject::invokeMethod(this, &MainWindow::OnClosed, Qt::QueuedConnection);
    }
    return ILocalizerView::eventFilter(watched, event);
}

bool MainWindow::OnClosing() {
    if (!exitRequested_ && options::appCloseMinimize.Bool()) {
        // The program keeps running, with its tray icon.
        window_->showMinimized();
        return false;
    }
    if (gMagnifierDisplay != nullptr && gMagnifierDisplay->visible) gMagnifierDisplay->SetVisible(false);
    return true;
}

void MainWindow::StoreWindowPlace() {
    if (window_ == nullptr) return;
    const qreal ratio = window_->devicePixelRatio();
    const QRect frame = window_->frameGeometry();
    options::uiWindowRect.SetText(options::RectText(qRound(frame.x() * ratio), qRound(frame.y() * ratio),
                                                    qRound(frame.width() * ratio),
                                                    qRound(frame.height() * ratio)));
    options::uiWindowVisible.SetBool(window_->isVisible());
}

void MainWindow::OnClosed() {
    if (closed_) return;
    closed_ = true;
    ReleaseAll();
    if (shutdown_) shutdown_();
}

void MainWindow::ReleaseAll() {
    Settings::SetLogonTaskHandler(nullptr);
    if (magnifier_) {
        magnifier_->Destroy();
        if (gMagnifierDisplay == magnifier_.get()) gMagnifierDisplay = nullptr;
        magnifier_.reset();
    }
    if (hotkeys_) {
        HotkeyButton::SetCaptureWindow(nullptr);
        StopHotkeys(hotkeys_, {editorAction_, magnificationAction_});
        editorAction_ = magnificationAction_ = nullptr;
    }
    trayIcon_.reset();
}

void MainWindow::MagnificationCallback(HotkeyAction*, void*, bool pressed) {
    MagnifierDisplay* display = gMagnifierDisplay;
    if (display == nullptr) return;
    const bool old = display->visible;
    const bool now = NewActionState(options::profileHotkeyMagnificationHold.Int() != 0, old, pressed);
    display->SetVisible(now);
    // The Profile page's status follows.
    if (now != old && Profile::Current() != nullptr) Profile::Current()->RaiseStatus();
}

void MainWindow::EditorCallback(HotkeyAction*, void* context, bool pressed) {
    auto* self = static_cast<MainWindow*>(context);
    MagnifierDisplay* display = gMagnifierDisplay;
    if (display == nullptr || gHotkeyManager == nullptr) return;
    const bool now = NewActionState(options::appHotkeyEditorHold.Int() != 0, display->editorMode, pressed);
    display->SetEditorMode(now);
    // While the editor is on, the magnification hotkey is not polled and cannot hide the view. The mode
    // the display is in decides, so a switch that failed leaves the hotkey working.
    if (display->editorMode) {
        gHotkeyManager->SetActionCallback(self->magnificationAction_, nullptr, nullptr);
    } else {
        gHotkeyManager->SetActionCallback(self->magnificationAction_, &MagnificationCallback, self);
    }
}
