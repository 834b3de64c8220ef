// The X11 layer against a real X server: the private Xvfb that scripts/test starts and names in
// LENTORA_TEST_DISPLAY.

// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "log/IDebugPrint.h"
#include "support/TempDir.h"

int main(int argc, char** argv) {
    XInitThreads();
    testing::InitGoogleTest(&argc, argv);
    const char* display = std::getenv("LENTORA_TEST_DISPLAY");
    if (display == nullptr || display[0] == '\0') {
        std::fprintf(stderr,
                     "LENTORA_TEST_DISPLAY is not set. These tests need their own X server: run them through "
                     "scripts/test, or start 'Xvfb :131 -noreset -screen 0 1920x1080x24' and set "
                     "LENTORA_TEST_DISPLAY=:131.\n");
        return 1;
    }
    setenv("DISPLAY", display, 1);
    // The layer's failures go to the log; tests read it back.
    TempDir logFolder;
    Log().Init(u"LentoraIntegrationTest", logFolder / "lentora.log", u"test", true);
    // The X connections' threads make forking death tests unsafe; re-running the program is not.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return RUN_ALL_TESTS();
}
