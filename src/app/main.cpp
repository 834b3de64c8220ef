#include <cstdio>

#include "app/App.h"
#include "app/AppStartup.h"
#include "platform/qt/TerminationSignals.h"
#include "platform/x11/Session.h"

int main(int argc, char** argv) {
    // First of all: a SIGTERM during start-up then ends the program in order once it can, never
    // half-way. Failures are said in the log, once it exists.
    const char* failedCall = "";
    int error = 0;
    platform::TerminationSignals::InstallHandlers(&failedCall, &error);
    platform::PrepareX11Session();
    if (platform::DisplayName().empty()) {
        std::fputs("Lentora needs an X11 display, and DISPLAY is not set.\n", stderr);
        return 1;
    }
    App app(argc, argv);
    if (!app.OnLaunched(argc, argv)) {
        AppShutdown(app.runtime());
        return 0;
    }
    return app.exec();
}
