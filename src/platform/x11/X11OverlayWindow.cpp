#include "platform/x11/X11OverlayWindow.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QRegion>
#include <QScreen>
#include <QSurfaceFormat>
#include <QThread>
#include <QWheelEvent>
#include <cmath>
#include <string>

// Xlib last: its macros (Status, None, Bool) clash with Qt's headers.
#include "platform/x11/XConnection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace platform {
namespace {

int ToPhysical(double logical, double dpr) { return static_cast<int>(std::lround(logical * dpr)); }

}  // namespace

X11OverlayWindow::X11OverlayWindow() {
    setSurfaceType(QSurface::OpenGLSurface);
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setVersion(3, 3);
    format.setAlphaBufferSize(8);
    format.setSwapInterval(0);  // the render thread paces itself
    setFormat(format);
    ApplyFlags();
    setGeometry(0, 0, 100, 100);
    create();
    id_ = static_cast<uint64_t>(winId());
    StoreGeometry();
    // A short connection of the UI thread's own, for the one window property Qt sets otherwise.
    x11::XConnection x = x11::XConnection::Open();
    if (!x) {
        setupFailure_ = {"XOpenDisplay", 0};
    } else {
        std::string name = kWindowClass;
        XClassHint hint{name.data(), name.data()};
        x.Name("XSetClassHint");
        XSetClassHint(x.display(), static_cast<::Window>(id_), &hint);
        if (const auto e = x.Sync()) setupFailure_ = {e->call, e->code};
    }
    guard_ = std::make_unique<StackingGuard>(id_, [this] {
        if (events_.keptUnder) events_.keptUnder();
    });
    if (QScreen* s = screen()) {
        connect(s, &QScreen::geometryChanged, this, [this](const QRect& r) {
            if (events_.displayChanged) events_.displayChanged(r.width(), r.height());
        });
    }
}

X11OverlayWindow::~X11OverlayWindow() = default;

QSurface* X11OverlayWindow::Surface() const { return const_cast<X11OverlayWindow*>(this); }

void X11OverlayWindow::ApplyFlags() {
    // Never managed: a window manager would stack a focused full-screen window above any "keep above"
    // window. Editor mode only lets the mouse in.
    Qt::WindowFlags f = Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                        Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint;
    if (!framed_) f |= Qt::WindowTransparentForInput;
    setFlags(f);
}

void X11OverlayWindow::SetFramed(bool framed) {
    if (framed == framed_) return;
    framed_ = framed;
    // Qt keeps the client area where it is; the window manager grows the frame around it.
    const QRect client = geometry();
    const bool wasShown = isVisible();
    ApplyFlags();
    setGeometry(client);
    if (wasShown) Show();
    StoreGeometry();
}

void X11OverlayWindow::StoreGeometry() {
    const double dpr = devicePixelRatio();
    const QRect c = geometry();
    QRect f = frameGeometry();
    if (!framed_) f = c;  // no frame to count, whatever the window manager said last
    std::lock_guard guard(geometryLock_);
    client_ = {ToPhysical(c.left(), dpr), ToPhysical(c.top(), dpr), ToPhysical(c.left() + c.width(), dpr),
               ToPhysical(c.top() + c.height(), dpr)};
    window_ = {ToPhysical(f.left(), dpr), ToPhysical(f.top(), dpr), ToPhysical(f.left() + f.width(), dpr),
               ToPhysical(f.top() + f.height(), dpr)};
    shown_ = isVisible();
}

void X11OverlayWindow::SetGeometry(const PixelRect& r, bool show) {
    const double dpr = devicePixelRatio();
    setGeometry(QRect(QPoint(static_cast<int>(r.left / dpr), static_cast<int>(r.top / dpr)),
                      QSize(std::max(1, static_cast<int>(r.width() / dpr)),
                            std::max(1, static_cast<int>(r.height() / dpr)))));
    StoreGeometry();
    if (show) Show();
}

void X11OverlayWindow::MoveTo(int left, int top, bool show) {
    const double dpr = devicePixelRatio();
    setPosition(static_cast<int>(left / dpr), static_cast<int>(top / dpr));
    StoreGeometry();
    if (show) Show();
}

void X11OverlayWindow::Show() {
    setVisible(true);
    raise();
    if (guard_) {
        guard_->SetActive(true);
        guard_->RaiseIfCovered();
    }
    StoreGeometry();
}

void X11OverlayWindow::Hide() {
    if (guard_) guard_->SetActive(false);
    setVisible(false);
    StoreGeometry();
}

bool X11OverlayWindow::IsShown() const {
    std::lock_guard guard(geometryLock_);
    return shown_;
}

PixelRect X11OverlayWindow::WindowRect() const {
    std::lock_guard guard(geometryLock_);
    return window_;
}

PixelRect X11OverlayWindow::ClientRect() const {
    std::lock_guard guard(geometryLock_);
    return client_;
}

void X11OverlayWindow::SetShape(std::vector<PixelRect> parts) {
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, parts = std::move(parts)]() mutable { SetShape(std::move(parts)); },
            Qt::QueuedConnection);
        return;
    }
    if (parts == shape_) return;
    shape_ = std::move(parts);
    ApplyShape();
}

void X11OverlayWindow::ShowLater(std::function<bool()> stillWanted) {
    // Queued on this window: dropped with it if it goes first.
    QMetaObject::invokeMethod(
        this,
        [this, wanted = std::move(stillWanted)] {
            if (wanted()) Show();
        },
        Qt::QueuedConnection);
}

void X11OverlayWindow::ApplyShape() {
    if (shape_.empty()) {
        setMask(QRegion());
        return;
    }
    const double dpr = devicePixelRatio();
    QRegion region;
    for (const PixelRect& p : shape_) {
        region += QRect(static_cast<int>(p.left / dpr), static_cast<int>(p.top / dpr),
                        static_cast<int>(p.width() / dpr), static_cast<int>(p.height() / dpr));
    }
    setMask(region);
}

bool X11OverlayWindow::CompositingManagerRunning() {
    x11::XConnection x = x11::XConnection::Open();
    if (!x) return false;
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(x.display()));
    const Atom selection = XInternAtom(x.display(), name.c_str(), False);
    return XGetSelectionOwner(x.display(), selection) != None;
}

void X11OverlayWindow::moveEvent(QMoveEvent* e) {
    QWindow::moveEvent(e);
    StoreGeometry();
    if (events_.moved) events_.moved();
}

void X11OverlayWindow::resizeEvent(QResizeEvent* e) {
    QWindow::resizeEvent(e);
    StoreGeometry();
    if (events_.moved) events_.moved();
}

void X11OverlayWindow::wheelEvent(QWheelEvent* e) {
    if (events_.wheel) events_.wheel(e->angleDelta().y());
    e->accept();
}

void X11OverlayWindow::mousePressEvent(QMouseEvent* e) {
    const double dpr = devicePixelRatio();
    const int x = ToPhysical(e->position().x(), dpr), y = ToPhysical(e->position().y(), dpr);
    if (events_.pressed && e->button() == Qt::LeftButton) events_.pressed(MouseButton::Left, x, y);
    if (events_.pressed && e->button() == Qt::RightButton) events_.pressed(MouseButton::Right, x, y);
    e->accept();
}

void X11OverlayWindow::mouseMoveEvent(QMouseEvent* e) {
    const double dpr = devicePixelRatio();
    if (events_.movedMouse) {
        events_.movedMouse(e->buttons() & Qt::LeftButton, e->buttons() & Qt::RightButton,
                           ToPhysical(e->position().x(), dpr), ToPhysical(e->position().y(), dpr));
    }
    e->accept();
}

void X11OverlayWindow::mouseReleaseEvent(QMouseEvent* e) {
    const double dpr = devicePixelRatio();
    const int x = ToPhysical(e->position().x(), dpr), y = ToPhysical(e->position().y(), dpr);
    if (events_.released && e->button() == Qt::LeftButton) events_.released(MouseButton::Left, x, y);
    if (events_.released && e->button() == Qt::RightButton) events_.released(MouseButton::Right, x, y);
    e->accept();
}

}  // namespace platform
