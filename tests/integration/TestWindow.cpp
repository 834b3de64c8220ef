#include "TestWindow.h"

#include <chrono>
#include <thread>

TestWindow::TestWindow(const platform::PixelRect& rect, unsigned border)
    : connection_(platform::x11::XConnection::Open()), rect_(rect), border_(border) {
    Display* d = connection_.display();
    if (d == nullptr) return;
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.background_pixel = 0;
    a.border_pixel = 0;
    a.event_mask = ExposureMask;
    window_ = XCreateWindow(
        d, connection_.root(), rect.left, rect.top, static_cast<unsigned>(rect.width()) - 2 * border,
        static_cast<unsigned>(rect.height()) - 2 * border, border, CopyFromParent, InputOutput,
        CopyFromParent, CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWEventMask, &a);
    gc_ = XCreateGC(d, window_, 0, nullptr);
    XMapRaised(d, window_);
    XSync(d, False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    XEvent e;
    while (!shown_ && std::chrono::steady_clock::now() < deadline) {
        if (XCheckWindowEvent(d, window_, ExposureMask, &e)) {
            shown_ = true;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

TestWindow::~TestWindow() {
    Display* d = connection_.display();
    if (d == nullptr) return;
    if (gc_ != nullptr) XFreeGC(d, gc_);
    Destroy();
}

void TestWindow::Fill(const platform::PixelRect& r, uint32_t rgb) {
    Display* d = connection_.display();
    const int inside = static_cast<int>(border_);
    XSetForeground(d, gc_, rgb);
    XFillRectangle(d, window_, gc_, r.left - rect_.left - inside, r.top - rect_.top - inside,
                   static_cast<unsigned>(r.width()), static_cast<unsigned>(r.height()));
    XSync(d, False);
}

void TestWindow::SetLongs(const char* property, Atom type, const std::vector<long>& values) {
    Display* d = connection_.display();
    XChangeProperty(d, window_, XInternAtom(d, property, False), type, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()), static_cast<int>(values.size()));
    XSync(d, False);
}

void TestWindow::Destroy() {
    if (window_ == None) return;
    XDestroyWindow(connection_.display(), window_);
    XSync(connection_.display(), False);
    window_ = None;
}

bool TestWindow::RgbVisual(Display* d) {
    const Visual* v = DefaultVisual(d, DefaultScreen(d));
    return DefaultDepth(d, DefaultScreen(d)) == 24 && v->c_class == TrueColor && v->red_mask == 0xFF0000 &&
           v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
}
