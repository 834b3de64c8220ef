// Tests of the program's windows and drawing against the private X server that scripts/test starts and
// names in LENTORA_TEST_DISPLAY, with Qt on its X11 platform.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "log/IDebugPrint.h"

extern "C" int XInitThreads();

int main(int argc, char** argv) {
    XInitThreads();
    const char* display = std::getenv("LENTORA_TEST_DISPLAY");
    if (display == nullptr || display[0] == '\0') {
        std::fprintf(stderr, "LENTORA_TEST_DISPLAY is not set: run this under scripts/test\n");
        return 1;
    }
    setenv("DISPLAY", display, 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QGuiApplication app(argc, argv);
    // The program's log, for reading when a case fails.
    if (const char* log = std::getenv("LENTORA_TEST_LOG")) Log().Init(u"Lentora", log, u"gui_tests", true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
