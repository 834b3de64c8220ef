#pragma once
// The application object: runs start-up, then creates and activates the main window, whose closing
// ends the program by the ordered path (the closed handler, then the shutdown). SIGTERM, SIGINT and
// SIGHUP close the main window for good and so take the same path; when Qt exits because its X
// connection died, an exit handler still runs the shutdown.

#include <QApplication>
#include <memory>

#include "app/AppRuntime.h"

namespace platform {
class TerminationSignals;
}

class App : public QApplication {
    Q_OBJECT
public:
    App(int& argc, char** argv);
    ~App() override;

    // Runs start-up and creates the main window; false when this process must end at once (another
    // instance, a failed start).
    bool OnLaunched(int argc, char** argv);
    // The ordered end: shutdown, then leave the event loop.
    void Shutdown();
    AppRuntime& runtime() { return runtime_; }

private:
    void OnTerminationSignal(int signalNumber);

    AppRuntime runtime_;
    std::unique_ptr<platform::TerminationSignals> signals_;
    bool signalsInstalled_ = false;
    bool endRequested_ = false;  // a signal came before the main window existed
};
