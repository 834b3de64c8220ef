// A full-screen game stand-in for the end-to-end tests: a window over the whole screen showing the
// test pattern, either asking the window manager for full screen (_NET_WM_STATE_FULLSCREEN, as SDL and
// GLFW games do) or bypassing it (override-redirect, as older games do). It takes the keyboard focus,
// and a block in the middle of the screen flips its colour every few milliseconds or on command.
//
//   lentora_game_standin [--override] [--flip-ms N] [--block X Y SIZE]
//
// Prints "ready" once its window is shown and painted. Reads commands from standard input: "flip"
// flips the block and answers "flipped green" or "flipped magenta" once the server has drawn it.
// Reports "click X Y BUTTON" for every button press it receives and "focus in" / "focus out". Ends on
// SIGTERM, at the end of its input, or when the X server goes.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kBlock = 24;  // the pattern's block, as the tests compute it

volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

unsigned long PatternPixel(int x, int y) {
    const int bx = x / kBlock, by = y / kBlock;
    const unsigned r = (bx * 47) % 256, g = (by * 83) % 256, b = (bx * 13 + by * 29) % 256;
    return (r << 16) | (g << 8) | b;
}

}  // namespace

int main(int argc, char** argv) {
    bool override = false;
    int flipMs = 0, blockX = 936, blockY = 516, blockSize = 48;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--override") {
            override = true;
        } else if (a == "--flip-ms" && i + 1 < argc) {
            flipMs = std::atoi(argv[++i]);
        } else if (a == "--block" && i + 3 < argc) {
            blockX = std::atoi(argv[++i]);
            blockY = std::atoi(argv[++i]);
            blockSize = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--override] [--flip-ms N] [--block X Y SIZE]\n", argv[0]);
            return 2;
        }
    }
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);

    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        std::fprintf(stderr, "game_standin: cannot open the display\n");
        return 1;
    }
    const int screen = DefaultScreen(d);
    const Window root = RootWindow(d, screen);
    const int width = DisplayWidth(d, screen), height = DisplayHeight(d, screen);

    XSetWindowAttributes attributes{};
    attributes.override_redirect = override ? True : False;
    attributes.background_pixel = BlackPixel(d, screen);
    attributes.event_mask =
        ExposureMask | StructureNotifyMask | KeyPressMask | FocusChangeMask | ButtonPressMask;
    const Window w = XCreateWindow(d, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                   0, CopyFromParent, InputOutput, CopyFromParent,
                                   CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XStoreName(d, w, "Lentora game stand-in");
    XClassHint hint{const_cast<char*>("lentora-game-standin"), const_cast<char*>("LentoraGameStandin")};
    XSetClassHint(d, w, &hint);
    if (!override) {
        const Atom state = XInternAtom(d, "_NET_WM_STATE", False);
        const Atom fullscreen = XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", False);
        XChangeProperty(d, w, state, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&fullscreen), 1);
    }

    // The pattern as one image, put whole on every exposure.
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = PatternPixel(x, y);
    XImage* image = XCreateImage(d, DefaultVisual(d, screen), static_cast<unsigned>(DefaultDepth(d, screen)),
                                 ZPixmap, 0, reinterpret_cast<char*>(pixels.data()),
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    const GC gc = XCreateGC(d, w, 0, nullptr);

    XMapRaised(d, w);
    bool ready = false, flipped = false;
    const int fd = ConnectionNumber(d);
    auto flip = [&] {
        flipped = !flipped;
        XSetForeground(d, gc, flipped ? 0xFF00FFul : 0x00FF00ul);
        XFillRectangle(d, w, gc, blockX, blockY, static_cast<unsigned>(blockSize),
                       static_cast<unsigned>(blockSize));
        XSync(d, False);
    };
    std::string input;
    bool inputOpen = true;
    while (!gStop) {
        while (XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == ButtonPress) {
                std::printf("click %d %d %u\n", e.xbutton.x_root, e.xbutton.y_root, e.xbutton.button);
                std::fflush(stdout);
            } else if (e.type == FocusIn || e.type == FocusOut) {
                std::printf("focus %s\n", e.type == FocusIn ? "in" : "out");
                std::fflush(stdout);
            } else if (e.type == Expose && e.xexpose.count == 0) {
                XPutImage(d, w, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width),
                          static_cast<unsigned>(height));
                if (!ready) XSetInputFocus(d, w, RevertToParent, CurrentTime);  // the game has the keyboard
                XSync(d, False);
                if (!ready) {
                    ready = true;
                    std::printf("ready\n");
                    std::fflush(stdout);
                }
            }
        }
        pollfd p[2] = {{fd, POLLIN, 0}, {inputOpen ? 0 : -1, POLLIN, 0}};
        const int timeout = ready && flipMs > 0 ? flipMs : 100;
        const int n = poll(p, 2, timeout);
        if (n < 0 && !gStop) continue;
        if (p[0].revents & (POLLHUP | POLLERR)) break;
        if (p[1].revents & (POLLIN | POLLHUP)) {
            char buf[256];
            const ssize_t got = read(0, buf, sizeof buf);
            if (got <= 0) {
                inputOpen = false;  // no more commands: keep running until told to stop
            } else {
                input.append(buf, static_cast<size_t>(got));
                for (size_t nl; (nl = input.find('\n')) != std::string::npos;) {
                    const std::string command = input.substr(0, nl);
                    input.erase(0, nl + 1);
                    if (command == "flip") {
                        flip();
                        std::printf("flipped %s\n", flipped ? "magenta" : "green");
                        std::fflush(stdout);
                    }
                }
            }
        }
        if (n == 0 && ready && flipMs > 0) flip();
    }
    image->data = nullptr;  // the vector owns the pixels
    XDestroyImage(image);
    XFreeGC(d, gc);
    XDestroyWindow(d, w);
    XCloseDisplay(d);
    return 0;
}
