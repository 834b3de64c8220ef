#include "app/App.h"

#include <clocale>
#include <cstdlib>

#include "app/AppStartup.h"
#include "log/IDebugPrint.h"
#include "platform/TerminationSignals.h"

namespace {
// Qt calls exit() when its X connection breaks; the options are saved on that road too.
void ShutdownAtExit() { AppShutdown(); }
}  // namespace

App::App(int& argc, char** argv) : QApplication(argc, argv) {
    // QApplication took the user's locale for everything; numbers stay in the C form.
    setlocale(LC_NUMERIC, "C");
    setApplicationName(QStringLiteral("Lentora"));
    setOrganizationName(QStringLiteral("Lorx"));
    setDesktopFileName(QStringLiteral("com.lorx.Lentora"));
    setQuitOnLastWindowClosed(false);
}

App::~App() = default;

bool App::OnLaunched(int argc, char** argv) {
    if (!AppStartup(argc, argv)) return false;
    std::atexit(ShutdownAtExit);
    signals_ = new platform::TerminationSignals(this);
    connect(signals_, &platform::TerminationSignals::received, this, [this](int sig) {
        Log() << "[APP]" << "Signal " << sig << " received, ending" << LogEnd;
        Shutdown();
    });
    if (!signals_->Install()) {
        Log() << LogError << "[APP]" << "[Error] " << signals_->failedCall() << " : " << signals_->error() << LogEnd;
    }
    return true;
}

void App::Shutdown() {
    AppShutdown();
    quit();
}
