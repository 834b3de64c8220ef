#pragma once
// SIGTERM, SIGINT and SIGHUP turned into a Qt signal on the UI thread (the self-pipe pattern), so the
// program can end by its ordered path instead of dying in the handler.

#include <QObject>

class QSocketNotifier;

namespace platform {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    // The handlers alone, first thing in main, before any Qt object exists: a signal that comes before
    // the event loop runs waits in the pipe instead of killing the process. Idempotent. False, with the
    // failing call and errno, when the pipe or a handler fails.
    static bool InstallHandlers(const char** failedCall, int* error);
    // Installs the handlers if need be and starts reading the pipe on this thread; false (with errno
    // text in error()) when the pipe or a handler fails.
    bool Install();
    const char* failedCall() const { return failedCall_; }
    int error() const { return error_; }

signals:
    void received(int signalNumber);

private:
    void OnReadable();

    QSocketNotifier* notifier_ = nullptr;
    const char* failedCall_ = "";
    int error_ = 0;
};

}  // namespace platform
