#include "app/App.h"

#include <QQuickWindow>
#include <clocale>
#include <cstdlib>

#include "app/AppStartup.h"
#include "log/IDebugPrint.h"
#include "options/OptionCatalogue.h"
#include "platform/qt/TerminationSignals.h"
#include "platform/x11/XConnectionLoss.h"
#include "shell/MainWindow.h"

namespace {

bool gEndedInOrder = false;

// An exit() that did not come through the ordered end (the loss of the X connection is caught before
// Qt's exit()): the options are saved on that road too. The render and hotkey threads still run then,
// so the process ends here, before static objects they use are destroyed.
void ShutdownAtExit() {
    if (gEndedInOrder) return;
    platform::RunConnectionLossEnding();
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
    platform::EndProcessOnXConnectionLoss([] { AppShutdown(); });
}

App::~App() = default;

bool App::OnLaunched(int argc, char** argv) {
    if (!AppStartup(argc, argv)) return false;
    std::atexit(ShutdownAtExit);
    signals_ = new platform::TerminationSignals(this);
    connect(signals_, &platform::TerminationSignals::received, this, &App::OnTerminationSignal);
    if (!signals_->Install()) {
        Log() << LogError << "[APP]" << "[Error] " << signals_->failedCall() << " : " << signals_->error() << LogEnd;
    }
    mainWindow_ = std::make_unique<MainWindow>([this] { Shutdown(); });
    mainWindow_->Activate(options::appStartMinimized.Bool());
    // Once more, now that the main window exists: exit handlers run last registered first, so this one
    // runs before the static objects made so far, which the running threads still use, are destroyed.
    std::atexit(ShutdownAtExit);
    return true;
}

void App::OnTerminationSignal(int signalNumber) {
    Log() << "[APP]" << "Signal " << signalNumber << " received, ending" << LogEnd;
    mainWindow_->RequestExit();
}

void App::Shutdown() {
    gEndedInOrder = true;
    AppShutdown();
    quit();
}
