#include "platform/XConnectionLoss.h"

#include <QCoreApplication>
#include <QMetaObject>

// After Qt's headers: Xlib defines Bool and Status as macros.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace platform {
namespace {

std::thread::id gUiThread;

int OnIOError(Display* display) {
    std::fprintf(stderr, "Lentora: the connection to X server %s broke\n",
                 display != nullptr ? DisplayString(display) : "");
    if (std::this_thread::get_id() == gUiThread) std::exit(1);
    // Qt's own connection breaks too and ends the process from the UI thread; should it not (this
    // connection alone was closed), the request below does.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(app, [] { std::exit(1); }, Qt::QueuedConnection);
    }
    for (;;) pause();
}

}  // namespace

void EndProcessOnXConnectionLoss() {
    gUiThread = std::this_thread::get_id();
    XSetIOErrorHandler(OnIOError);
}

}  // namespace platform
