// What one frame of the view costs, step by step, for a 1920 x 1080 source and a 768 x 432 view at
// 200 %: the copy from the X server, the upload into the frame texture, the composition for each mask
// type, and reading the view back. Needs an X server with OpenGL ($DISPLAY, e.g. Xvfb with llvmpipe).
#include <QGuiApplication>
#include <QOpenGLFunctions_3_3_Core>
#include <QPainter>
#include <QRasterWindow>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

// After Qt: Xlib defines Bool and Status as macros.
#include <X11/Xlib.h>

#include "capture/DuplicationSource.h"
#include "magnifier/MagnifierRenderer.h"
#include "magnifier/MonitorList.h"
#include "platform/x11/ScreenGrabber.h"
#include "render/RenderEngine.h"
#include "render/RenderTexture.h"

namespace {

using Clock = std::chrono::steady_clock;

// A full-screen window whose content changes on every paint, so every copy sees damage.
class ChangingWindow : public QRasterWindow {
public:
    int frame = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(QRect(0, 0, width(), height()), QColor((frame * 7) % 256, (frame * 13) % 256, 128));
        for (int i = 0; i < 40; ++i) p.fillRect((i * 97 + frame) % 1900, (i * 53) % 1060, 20, 20, Qt::white);
    }
};

struct Stats {
    double median, p90;
};

Stats Summarize(std::vector<double> us) {
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 9 / 10]};
}

void Print(const char* what, const Stats& s) {
    std::printf("%-44s median %9.1f us   p90 %9.1f us\n", what, s.median, s.p90);
}

template <typename F>
Stats Measure(int n, F&& f) {
    std::vector<double> us;
    for (int i = 0; i < n; ++i) {
        const auto t0 = Clock::now();
        f(i);
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    return Summarize(us);
}

}  // namespace

int main(int argc, char** argv) {
    XInitThreads();
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QGuiApplication app(argc, argv);
    const int n = argc > 1 ? std::max(10, std::atoi(argv[1])) : 100;

    ChangingWindow window;
    window.setFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    window.setGeometry(0, 0, 1920, 1080);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;

    MagnifierRenderer r;
    std::u16string failure;
    if (!r.Start(&failure)) return 1;
    ViewSettings s;
    s.sourceMonitor = MonitorList::First().handle;
    s.sourceDisplay = MonitorList::First().bounds;
    if (!r.EnsureFrameSource(s)) return 1;
    s.viewWidth = 768;
    s.viewHeight = 432;
    s.magnification = 200;
    QOpenGLFunctions_3_3_Core* gl = r.engine()->gl();

    std::printf("OpenGL %s, %d iterations, source 1920 x 1080, view 768 x 432 at 200 %%\n",
                r.engine()->VersionName().c_str(), n);

    auto repaint = [&](int i) {
        window.frame = i;
        window.update();
        QCoreApplication::processEvents();
        QTest::qWait(20);  // the paint reaches the server before the copy is timed
    };

    // Copy alone: a grabber of its own over the whole monitor.
    {
        auto grabber = platform::ScreenGrabber::Create(MonitorList::First().bounds, nullptr);
        if (!grabber) return 1;
        std::vector<double> us;
        for (int i = 0; i < n; ++i) {
            repaint(i);
            const auto t0 = Clock::now();
            grabber->Grab();
            us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        }
        Print("capture (X server copy of the monitor)", Summarize(us));
    }
    // Copy and upload together, as the source does it each new frame.
    {
        std::vector<double> us;
        for (int i = 0; i < n; ++i) {
            repaint(i);
            const auto t0 = Clock::now();
            r.duplicationSource()->UpdateFrame();
            gl->glFinish();
            us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        }
        Print("capture + upload (one new frame)", Summarize(us));
    }
    // A still screen: nothing copied, nothing uploaded.
    Print("still screen (no new frame)", Measure(n, [&](int) { r.duplicationSource()->UpdateFrame(); }));

    const char* names[] = {"compose, no mask", "compose, circle mask", "compose, rectangle mask"};
    for (int mask = 0; mask < 3; ++mask) {
        s.maskType = mask;
        s.maskDist = 0.49f;
        s.transitionDist = 0.01f;
        r.ComposeFrame(s);  // targets made before timing
        Print(names[mask], Measure(n, [&](int) {
                  r.ComposeFrame(s);
                  gl->glFinish();
              }));
    }
    Print("read back the view (768 x 432 RGBA)",
          Measure(n, [&](int) { r.engine()->ReadPixels(*r.viewTarget()); }));
    return 0;
}
