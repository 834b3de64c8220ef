// Cost of one ScreenGrabber::Grab on the X server in $DISPLAY (a 1920 x 1080 screen):
//  - a change forced before every grab: the whole monitor against the 384 x 216 source rectangle of a
//    768 x 432 view at 200 %, measured in turns within one run;
//  - a still screen (NoChange without asking the server);
//  - changes only inside the view itself, an ignored area (NoChange after one round trip);
//  - the default profile (the view centred over its source) with a full-screen window changing under
//    the view: the copy built from the windows under the view against the plain copy of the screen.
// Prints the median and the 90th percentile in microseconds.

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/x11/ScreenGrabber.h"
#include "platform/x11/WindowScreenCopy.h"
#include "platform/x11/XConnection.h"

namespace {

using platform::PixelRect;
using platform::ScreenGrabber;
using Clock = std::chrono::steady_clock;

constexpr int kIterations = 200;
constexpr PixelRect kScreen{0, 0, 1920, 1080};
constexpr PixelRect kView{576, 324, 1344, 756};    // 768 x 432, centred
constexpr PixelRect kSource{768, 432, 1152, 648};  // what that view shows at 200 %

struct Figures {
    double median = 0, p90 = 0;
};

Figures Summarise(std::vector<double> us) {
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 9 / 10]};
}

void Print(const char* what, const Figures& f) {
    std::printf("%-58s median %9.1f us   p90 %9.1f us\n", what, f.median, f.p90);
}

// A screen-sized window of its own connection to draw changes into.
class Painter {
public:
    explicit Painter(const PixelRect& r = kScreen) : connection_(platform::x11::XConnection::Open()) {
        Display* d = connection_.display();
        XSetWindowAttributes a{};
        a.override_redirect = True;
        window_ = XCreateWindow(d, connection_.root(), r.left, r.top, static_cast<unsigned>(r.width()),
                                static_cast<unsigned>(r.height()), 0, CopyFromParent, InputOutput,
                                CopyFromParent, CWOverrideRedirect, &a);
        gc_ = XCreateGC(d, window_, 0, nullptr);
        XMapRaised(d, window_);
        XSync(d, False);
    }
    ~Painter() {
        XFreeGC(connection_.display(), gc_);
        XDestroyWindow(connection_.display(), window_);
    }
    uint64_t id() const { return window_; }
    void Draw(const PixelRect& r) {
        XSetForeground(connection_.display(), gc_, colour_++ & 0xFFFFFF);
        XFillRectangle(connection_.display(), window_, gc_, r.left, r.top, static_cast<unsigned>(r.width()),
                       static_cast<unsigned>(r.height()));
        XSync(connection_.display(), False);
    }

private:
    platform::x11::XConnection connection_;
    Window window_ = None;
    GC gc_ = nullptr;
    unsigned long colour_ = 0x102030;
};

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// Times the grab that brings the change in; grabs before the damage event has come are not counted.
double TimeNewFrame(platform::IScreenCopy& g, int* early) {
    for (;;) {
        const auto t0 = Clock::now();
        const ScreenGrabber::Result r = g.Grab();
        const auto t1 = Clock::now();
        if (r == ScreenGrabber::Result::NewFrame) return Micros(t1 - t0);
        if (r != ScreenGrabber::Result::NoChange) {
            std::fprintf(stderr, "grab failed\n");
            std::exit(1);
        }
        ++*early;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

void Settle(platform::IScreenCopy& g) {
    int quiet = 0;
    while (quiet < 50) {
        quiet = g.Grab() == ScreenGrabber::Result::NoChange ? quiet + 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::unique_ptr<ScreenGrabber> Make(const PixelRect& area) {
    platform::CallFailure failure;
    auto g = ScreenGrabber::Create(area, &failure);
    if (!g) {
        std::fprintf(stderr, "ScreenGrabber::Create failed: %s : %ld\n", failure.call.c_str(), failure.code);
        std::exit(1);
    }
    return g;
}

}  // namespace

int main() {
    XInitThreads();
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "bench_capture needs an X server of 1920 x 1080 in DISPLAY\n");
        return 1;
    }
    Painter painter;
    auto whole = Make(kScreen);
    auto source = Make(kSource);
    Settle(*whole);
    Settle(*source);

    std::vector<double> wholeUs, sourceUs;
    int early = 0;
    const PixelRect spot{kSource.left + 10, kSource.top + 10, kSource.left + 14, kSource.top + 14};
    for (int i = 0; i < kIterations; ++i) {
        painter.Draw(spot);
        wholeUs.push_back(TimeNewFrame(*whole, &early));
        sourceUs.push_back(TimeNewFrame(*source, &early));
    }
    const Figures w = Summarise(wholeUs), s = Summarise(sourceUs);

    Settle(*source);
    std::vector<double> stillUs;
    while (stillUs.size() < kIterations) {
        const auto t0 = Clock::now();
        const ScreenGrabber::Result r = source->Grab();
        const auto t1 = Clock::now();
        if (r == ScreenGrabber::Result::NoChange) stillUs.push_back(Micros(t1 - t0));
    }

    source->SetIgnoredAreas({kView});
    Settle(*source);
    std::vector<double> ignoredUs;
    int missed = 0;
    for (int i = 0; i < kIterations; ++i) {
        painter.Draw(spot);
        // Wait for the damage event, so that the grab has to look at the damage.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto t0 = Clock::now();
        const ScreenGrabber::Result r = source->Grab();
        ignoredUs.push_back(Micros(Clock::now() - t0));
        if (r != ScreenGrabber::Result::NoChange) ++missed;
    }

    // The default profile over a game: a window of the program's own over the source, the game's
    // window (the painter) changing under it.
    Painter view(kView);
    platform::CallFailure failure;
    auto windows = platform::WindowScreenCopy::Create(kSource, &failure);
    if (!windows) {
        std::fprintf(stderr, "WindowScreenCopy::Create failed: %s : %ld\n", failure.call.c_str(),
                     failure.code);
        return 1;
    }
    windows->SetOwnWindows({view.id()});
    windows->SetIgnoredAreas({kView});
    auto screen = Make(kSource);
    Settle(*windows);
    Settle(*screen);
    std::vector<double> windowsUs, screenUs;
    for (int i = 0; i < kIterations; ++i) {
        painter.Draw(spot);
        windowsUs.push_back(TimeNewFrame(*windows, &early));
        // The screen as shown never sees a change under the view: a new list of ignored areas makes it
        // copy anyway, so that the two copies are timed for the same work.
        screen->SetIgnoredAreas(i % 2 == 0 ? std::vector<PixelRect>{{0, 0, 1, 1}} : std::vector<PixelRect>{});
        screenUs.push_back(TimeNewFrame(*screen, &early));
    }
    const Figures wf = Summarise(windowsUs), sf = Summarise(screenUs);

    std::printf("ScreenGrabber::Grab, %d grabs each\n", kIterations);
    Print("changed, whole monitor 1920 x 1080 (NewFrame)", w);
    Print("changed, source rectangle 384 x 216 (NewFrame)", s);
    std::printf("%-58s median %9.2f x\n", "whole monitor / source rectangle", w.median / s.median);
    Print("still screen (NoChange)", Summarise(stillUs));
    Print("changes only inside the view, an ignored area (NoChange)", Summarise(ignoredUs));
    std::printf("default profile over a full-screen window, source rectangle 384 x 216 under the view:\n");
    Print("  copy from the windows under the view (NewFrame)", wf);
    Print("  copy of the screen as shown, the view in it (NewFrame)", sf);
    std::printf("%-58s median %9.2f x\n", "  windows / screen", wf.median / sf.median);
    std::printf("(grabs before the damage event came, not counted: %d; ignored changes copied: %d)\n", early,
                missed);
    return missed == 0 ? 0 : 1;
}
