// The timing half of bench/latency, on the X server in $DISPLAY. It covers the source rectangle given
// on the command line with a window of one flat colour (but for a white 16 x 16 mark in its top-left
// corner), paints the root in a third colour, and then follows commands read line by line on stdin,
// answering on stdout:
//
//   pixel X Y                     the colour at (X, Y) as "pixel R G B"
//   flips N X Y                   N colour flips, each a random 20-60 ms after the one before was seen;
//                                 "flip US" per flip, the microseconds from the flip's XSync to the
//                                 first read of (X, Y) with the new colour, or "flip miss" after 1 s
//   churn MS HZ                   flips at HZ for MS milliseconds, nothing read
//   hotkey N X Y                  N show/hide cycles of the hotkey (left Ctrl + right button, held
//                                 until the view answers): "show US" and "hide US" (or "miss"), from
//                                 the button's press to (X, Y) showing the source colour or the root's
//   taps N HOLD_MS WAIT_MS X Y    N taps of the hotkey held HOLD_MS each: "tap 1" when (X, Y) turned
//                                 within WAIT_MS after the release, else "tap 0"
//   quit
//
// Every command ends with "done" (after "error TEXT" when it could not run). Pauses come from a
// generator seeded the same for every command, so each program meets the same sequence of flips.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <random>
#include <sstream>
#include <string>

namespace {

struct Rgb {
    int r, g, b;
};

// Each far from the others in some channel, so a blended edge or a rounding shader never passes for
// another.
constexpr Rgb kRoot{40, 150, 40};
constexpr Rgb kSource[2] = {{230, 40, 40}, {40, 60, 230}};
constexpr Rgb kMarkColour{255, 255, 255};
constexpr unsigned kMark = 16;
constexpr int kTolerance = 40;

// The pause between two reads: fine enough for delays of a few milliseconds, while the reads
// (round trips that cost the X server time too) leave the cores mostly to the program measured.
constexpr long kPollNs = 150'000;
constexpr long kFlipTimeoutNs = 1'000'000'000;
constexpr unsigned kSeed = 20240611;

int64_t NowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

void SleepNs(int64_t ns) {
    timespec t{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
    clock_nanosleep(CLOCK_MONOTONIC, 0, &t, nullptr);
}

void SleepUntilNs(int64_t when) {
    timespec t{static_cast<time_t>(when / 1'000'000'000), static_cast<long>(when % 1'000'000'000)};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr);
}

int Shift(unsigned long mask) {
    int s = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++s;
    }
    return s;
}

bool Near(const Rgb& a, const Rgb& b) {
    return std::abs(a.r - b.r) <= kTolerance && std::abs(a.g - b.g) <= kTolerance &&
           std::abs(a.b - b.b) <= kTolerance;
}

class Probe {
public:
    bool Open(int sx, int sy, int sw, int sh) {
        dpy_ = XOpenDisplay(nullptr);
        if (dpy_ == nullptr) return Fail("cannot open the display");
        int opcode, event, error, major, minor;
        if (!XTestQueryExtension(dpy_, &event, &error, &major, &minor)) return Fail("no XTest");
        if (!XQueryExtension(dpy_, "MIT-SHM", &opcode, &event, &error)) return Fail("no MIT-SHM");
        const int screen = DefaultScreen(dpy_);
        root_ = RootWindow(dpy_, screen);
        visual_ = DefaultVisual(dpy_, screen);
        if (visual_->c_class != TrueColor) return Fail("the default visual is not TrueColor");

        // A 3 x 3 read around the point: one stray pixel of an edge or a cursor does not count.
        image_ = XShmCreateImage(dpy_, visual_, DefaultDepth(dpy_, screen), ZPixmap, nullptr, &shm_, 3, 3);
        shm_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image_->bytes_per_line * image_->height),
                            IPC_CREAT | 0600);
        if (shm_.shmid < 0) return Fail("shmget failed");
        shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
        shm_.readOnly = False;
        if (!XShmAttach(dpy_, &shm_)) return Fail("XShmAttach failed");
        XSync(dpy_, False);
        shmctl(shm_.shmid, IPC_RMID, nullptr);  // gone once both sides detach, also after a crash

        XSetWindowBackground(dpy_, root_, PixelOf(kRoot));
        XClearWindow(dpy_, root_);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = PixelOf(kSource[0]);
        source_ = XCreateWindow(dpy_, root_, sx, sy, static_cast<unsigned>(sw), static_cast<unsigned>(sh), 0,
                                CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel,
                                &attributes);
        XStoreName(dpy_, source_, "latency source");
        // A white mark in the top-left corner, far from the centre read: where it shows in the view
        // tells the view's enlargement and the part of the screen it shows.
        XCreateSimpleWindow(dpy_, source_, 0, 0, kMark, kMark, 0, 0, PixelOf(kMarkColour));
        XMapSubwindows(dpy_, source_);
        XMapRaised(dpy_, source_);
        // The pointer away from the view, the source and anything they might cover.
        XTestFakeMotionEvent(dpy_, screen, DisplayWidth(dpy_, screen) - 8, DisplayHeight(dpy_, screen) - 8,
                             CurrentTime);
        ctrl_ = XKeysymToKeycode(dpy_, XK_Control_L);
        XSync(dpy_, False);
        return true;
    }

    void Close() {
        if (dpy_ == nullptr) return;
        if (image_ != nullptr) {
            XShmDetach(dpy_, &shm_);
            XDestroyImage(image_);
            shmdt(shm_.shmaddr);
        }
        XCloseDisplay(dpy_);
        dpy_ = nullptr;
    }

    // The colour at (x, y).
    Rgb Read(int x, int y) {
        XShmGetImage(dpy_, root_, image_, x - 1, y - 1, AllPlanes);
        return At(1, 1);
    }

    // Whether all nine pixels around (x, y) are near want.
    bool Shows(int x, int y, const Rgb& want) {
        XShmGetImage(dpy_, root_, image_, x - 1, y - 1, AllPlanes);
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i)
                if (!Near(At(i, j), want)) return false;
        return true;
    }

    // Polls (x, y) until it shows want; the time of the read that saw it, or -1 after timeoutNs.
    int64_t WaitFor(int x, int y, const Rgb& want, int64_t start, int64_t timeoutNs) {
        for (;;) {
            const bool seen = Shows(x, y, want);
            const int64_t now = NowNs();
            if (seen) return now;
            if (now - start > timeoutNs) return -1;
            SleepNs(kPollNs);
        }
    }

    // Paints the source in its other colour; the time at which the server has done so.
    int64_t Flip() {
        colour_ ^= 1;
        XSetWindowBackground(dpy_, source_, PixelOf(kSource[colour_]));
        XClearWindow(dpy_, source_);
        XSync(dpy_, False);
        return NowNs();
    }

    const Rgb& Colour() const { return kSource[colour_]; }

    void Hotkey(bool down) {
        if (down) {
            XTestFakeKeyEvent(dpy_, ctrl_, True, CurrentTime);
            XSync(dpy_, False);
            XTestFakeButtonEvent(dpy_, 3, True, CurrentTime);
        } else {
            XTestFakeButtonEvent(dpy_, 3, False, CurrentTime);
            XTestFakeKeyEvent(dpy_, ctrl_, False, CurrentTime);
        }
        XSync(dpy_, False);
    }

private:
    bool Fail(const char* what) {
        std::fprintf(stderr, "latency_probe: %s\n", what);
        return false;
    }

    unsigned long PixelOf(const Rgb& c) const {
        return (static_cast<unsigned long>(c.r) << Shift(visual_->red_mask)) |
               (static_cast<unsigned long>(c.g) << Shift(visual_->green_mask)) |
               (static_cast<unsigned long>(c.b) << Shift(visual_->blue_mask));
    }

    Rgb At(int i, int j) const {
        const unsigned long p = XGetPixel(image_, i, j);
        return {static_cast<int>((p & visual_->red_mask) >> Shift(visual_->red_mask)),
                static_cast<int>((p & visual_->green_mask) >> Shift(visual_->green_mask)),
                static_cast<int>((p & visual_->blue_mask) >> Shift(visual_->blue_mask))};
    }

    Display* dpy_ = nullptr;
    Window root_ = 0, source_ = 0;
    Visual* visual_ = nullptr;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
    KeyCode ctrl_ = 0;
    int colour_ = 0;
};

void Flips(Probe& probe, int n, int x, int y) {
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<int64_t> pause(20'000'000, 60'000'000);
    if (probe.WaitFor(x, y, probe.Colour(), NowNs(), 5'000'000'000) < 0) {
        const Rgb c = probe.Read(x, y);
        std::printf("error (%d, %d) shows %d %d %d, not the source\n", x, y, c.r, c.g, c.b);
        return;
    }
    for (int i = 0; i < n; ++i) {
        SleepNs(pause(random));
        const int64_t flipped = probe.Flip();
        const int64_t seen = probe.WaitFor(x, y, probe.Colour(), flipped, kFlipTimeoutNs);
        if (seen < 0) {
            std::printf("flip miss\n");
            // Whatever the view shows late, the next flip starts from a view that caught up.
            probe.WaitFor(x, y, probe.Colour(), NowNs(), kFlipTimeoutNs);
        } else {
            std::printf("flip %lld\n", static_cast<long long>((seen - flipped) / 1000));
        }
    }
}

void Churn(Probe& probe, int64_t ms, int hz) {
    const int64_t period = 1'000'000'000 / hz, end = NowNs() + ms * 1'000'000;
    for (int64_t next = NowNs(); next < end; next += period) {
        SleepUntilNs(next);
        probe.Flip();
    }
}

void HotkeyCycles(Probe& probe, int n, int x, int y) {
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<int64_t> pause(100'000'000, 200'000'000);
    if (!probe.Shows(x, y, kRoot)) {
        std::printf("error the view is not hidden at the start\n");
        return;
    }
    for (int i = 0; i < 2 * n; ++i) {
        const bool show = i % 2 == 0;
        const Rgb want = show ? probe.Colour() : kRoot;
        probe.Hotkey(true);
        const int64_t pressed = NowNs();
        const int64_t seen = probe.WaitFor(x, y, want, pressed, kFlipTimeoutNs * 2);
        probe.Hotkey(false);
        if (seen < 0) {
            std::printf("%s miss\n", show ? "show" : "hide");
            if (probe.WaitFor(x, y, want, NowNs(), kFlipTimeoutNs * 2) < 0) {
                std::printf("error the view does not follow the hotkey\n");
                return;
            }
        } else {
            std::printf("%s %lld\n", show ? "show" : "hide", static_cast<long long>((seen - pressed) / 1000));
        }
        SleepNs(pause(random));
    }
}

void Taps(Probe& probe, int n, int holdMs, int waitMs, int x, int y) {
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<int64_t> pause(80'000'000, 160'000'000);
    for (int i = 0; i < n; ++i) {
        const bool shown = probe.Shows(x, y, probe.Colour());
        if (!shown && !probe.Shows(x, y, kRoot)) {
            std::printf("error the view is neither shown nor hidden\n");
            return;
        }
        probe.Hotkey(true);
        SleepNs(static_cast<int64_t>(holdMs) * 1'000'000);
        probe.Hotkey(false);
        const Rgb want = shown ? kRoot : probe.Colour();
        const bool toggled =
            probe.WaitFor(x, y, want, NowNs(), static_cast<int64_t>(waitMs) * 1'000'000) >= 0;
        std::printf("tap %d\n", toggled ? 1 : 0);
        SleepNs(pause(random));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s SOURCE_X SOURCE_Y SOURCE_WIDTH SOURCE_HEIGHT (commands on stdin)\n",
                     argv[0]);
        return 2;
    }
    Probe probe;
    if (!probe.Open(std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]))) return 1;
    std::printf("ready\n");
    std::fflush(stdout);

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string command;
        in >> command;
        int a = 0, b = 0, c = 0, d = 0, e = 0;
        if (command == "quit") break;
        if (command == "pixel" && in >> a >> b) {
            const Rgb p = probe.Read(a, b);
            std::printf("pixel %d %d %d\n", p.r, p.g, p.b);
        } else if (command == "flips" && in >> a >> b >> c) {
            Flips(probe, a, b, c);
        } else if (command == "churn" && in >> a >> b && b > 0) {
            Churn(probe, a, b);
        } else if (command == "hotkey" && in >> a >> b >> c) {
            HotkeyCycles(probe, a, b, c);
        } else if (command == "taps" && in >> a >> b >> c >> d >> e) {
            Taps(probe, a, b, c, d, e);
        } else {
            std::printf("error unknown command: %s\n", line.c_str());
        }
        std::printf("done\n");
        std::fflush(stdout);
    }
    probe.Close();
    return 0;
}
