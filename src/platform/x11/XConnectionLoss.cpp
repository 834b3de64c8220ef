#include "platform/x11/XConnectionLoss.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QString>
#include <QtGlobal>

// After Qt's headers: Xlib defines Bool and Status as macros.
#include <X11/Xlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

namespace platform {
namespace {

std::thread::id gUiThread;
std::function<void()> gOnLost;  // set once on the UI thread before any other thread starts
std::atomic<bool> gEnding{false};
QtMessageHandler gPreviousHandler = nullptr;

[[noreturn]] void WaitForTheEnd() {
    for (;;) pause();
}

int OnIOError(Display* display) {
    std::fprintf(stderr, "Lentora: the connection to X server %s broke\n",
                 display != nullptr ? DisplayString(display) : "");
    if (std::this_thread::get_id() == gUiThread) RunConnectionLossEnding();
    // Qt's own connection breaks too and Qt reports it on the UI thread; should that not come (only
    // this connection was closed), the request below does.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            app, [] { RunConnectionLossEnding(); }, Qt::QueuedConnection);
    }
    // The UI thread may be waiting for a lock this thread holds, and this thread cannot leave the
    // handler: end the process from here once the UI thread had its chance.
    std::this_thread::sleep_for(kUiThreadEndWait);
    RunConnectionLossEnding();
}

// Qt says so on the UI thread right before it calls exit(1).
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (gPreviousHandler != nullptr) {
        gPreviousHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
    if (type == QtWarningMsg && std::this_thread::get_id() == gUiThread &&
        message.startsWith(QLatin1String("The X11 connection broke"))) {
        RunConnectionLossEnding();
    }
}

}  // namespace

void RunConnectionLossEnding() {
    if (gEnding.exchange(true)) WaitForTheEnd();
    if (gOnLost) gOnLost();
    std::_Exit(1);
}

void EndProcessOnXConnectionLoss(std::function<void()> onLost) {
    gUiThread = std::this_thread::get_id();
    gOnLost = std::move(onLost);
    XSetIOErrorHandler(OnIOError);
    gPreviousHandler = qInstallMessageHandler(OnQtMessage);
}

}  // namespace platform
