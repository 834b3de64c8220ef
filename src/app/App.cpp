#include "app/App.h"

#include <QQuickWindow>
#include <clocale>
#include <cstdlib>

#include "app/AppStartup.h"
#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "options/OptionCatalogue.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/TerminationSignals.h"
#include "platform/x11/XConnectionLoss.h"
#include "shell/MainWindow.h"

namespace {

bool gEndedInOrder = false;
AppRuntime* gRuntime = nullptr;  // the application's, while it exists

// An exit() that did not come through the ordered end (the loss of the X connection is caught before
// Qt's exit()): the options are saved on that road too. The render and hotkey threads still run then,
// so the process ends here, before static objects they use are destroyed.
void ShutdownAtExit() {
    if (gEndedInOrder) return;
    platform::RunConnectionLossEnding();
}

void ShutdownRuntime() {
    if (gRuntime != nullptr) AppShutdown(*gRuntime);
}

}  // namespace

App::App(int& argc, char** argv) : QApplication(argc, argv) {
    // QApplication took the user's locale for everything; numbers stay in the C form.
    setlocale(LC_NUMERIC, "C");
    setApplicationName(QStringLiteral("Lentora"));
    setOrganizationName(QStringLiteral("Lorx"));
    setDesktopFileName(QStringLiteral("com.lorx.Lentora"));
    // The main window's closed handler ends the program; a window that only minimizes must not.
    setQuitOnLastWindowClosed(false);
    // The configuration window draws in software: it needs no OpenGL of its own next to the render
    // thread's context, and it costs little under a software rasterizer.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    gRuntime = &runtime_;
    platform::EndProcessOnXConnectionLoss(ShutdownRuntime);
    // Read from the first event loop on, a start-up box's included.
    signals_ = std::make_unique<platform::TerminationSignals>();
    connect(signals_.get(), &platform::TerminationSignals::received, this, &App::OnTerminationSignal);
    signalsInstalled_ = signals_->Install();
}

App::~App() {
    if (gRuntime == &runtime_) gRuntime = nullptr;
}

bool App::OnLaunched(int argc, char** argv) {
    if (!AppStartup(argc, argv, runtime_)) return false;
    std::atexit(ShutdownAtExit);
    if (!signalsInstalled_) LogFailure(LogTag::kApp, signals_->failedCall(), signals_->error());
    runtime_.mainWindow = std::make_unique<MainWindow>([this] { Shutdown(); });
    runtime_.mainWindow->Activate(options::appStartMinimized.Bool());
    // A signal that came during start-up ends the program in order as soon as the event loop runs.
    if (endRequested_) {
        QMetaObject::invokeMethod(
            this, [this] { runtime_.mainWindow->RequestExit(); }, Qt::QueuedConnection);
    }
    // Once more, now that the main window exists: exit handlers run last registered first, so this one
    // runs before the static objects made so far, which the running threads still use, are destroyed.
    std::atexit(ShutdownAtExit);
    return true;
}

void App::OnTerminationSignal(int signalNumber) {
    Log() << "[APP]"
          << "Signal " << signalNumber << " received, ending" << LogEnd;
    if (runtime_.mainWindow) {
        runtime_.mainWindow->RequestExit();
        return;
    }
    // Still starting: a box of the start-up is closed, and the end comes once the window exists.
    endRequested_ = true;
    platform::CloseMessageBoxes();
}

void App::Shutdown() {
    gEndedInOrder = true;
    AppShutdown(runtime_);
    quit();
}
