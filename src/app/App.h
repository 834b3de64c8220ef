#pragma once
// The application object: runs start-up, then creates and activates the main window, whose closing
// ends the program by the ordered path (the closed handler, then the shutdown). SIGTERM, SIGINT and
// SIGHUP close the main window for good and so take the same path; when Qt exits because its X
// connection died, an exit handler still runs the shutdown.

#include <QApplication>
#include <memory>

class MainWindow;

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

private:
    void OnTerminationSignal(int signalNumber);

    platform::TerminationSignals* signals_ = nullptr;
    std::unique_ptr<MainWindow> mainWindow_;
};
