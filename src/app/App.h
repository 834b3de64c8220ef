#pragma once
// The application object. Until the main window exists the program runs with no window and ends by
// the same ordered path as closing it: on SIGTERM, SIGINT, SIGHUP, or when Qt exits because its X
// connection died.

#include <QApplication>

namespace platform {
class TerminationSignals;
}

class App : public QApplication {
    Q_OBJECT
public:
    App(int& argc, char** argv);
    ~App() override;

    // Runs start-up; false when this process must end at once (another instance, a failed start).
    bool OnLaunched(int argc, char** argv);
    // The ordered end: shutdown, then leave the event loop.
    void Shutdown();

private:
    platform::TerminationSignals* signals_ = nullptr;
};
