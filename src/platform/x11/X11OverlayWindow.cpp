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

#include "platform/DevicePixels.h"

// Xlib last: its macros (Status, None, Bool) clash with Qt's headers.
#include "platform/x11/XConnection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>

namespace platform {

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
    input_ = std::make_unique<x11::XConnection>(x11::XConnection::Open());
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

QMargins X11OverlayWindow::FrameMargins() const {
    if (!framed_) return {};
    const double dpr = devicePixelRatio();
    const int l = static_cast<int>(std::lround(kFrameLeft / dpr)),
              t = static_cast<int>(std::lround(kFrameTop / dpr));
    return {l, t, l, l};
}

void X11OverlayWindow::SetFramed(bool framed) {
    if (framed == framed_) return;
    // The frame grows around the client area and goes again, so the client area stays where it is.
    const QRect client = geometry().marginsRemoved(FrameMargins());
    const bool wasShown = isVisible();
    framed_ = framed;
    ApplyFlags();
    setGeometry(client.marginsAdded(FrameMargins()));
    if (!framed_) unsetCursor();
    FollowInputShape();
    resizeEdges_ = 0;
    movingByCaption_ = false;
    if (wasShown) Show();
    StoreGeometry();
}

void X11OverlayWindow::StoreGeometry() {
    const double dpr = devicePixelRatio();
    const QRect f = geometry();
    const QRect c = f.marginsRemoved(FrameMargins());
    std::lock_guard guard(geometryLock_);
    client_ = {ToPhysical(c.left(), dpr), ToPhysical(c.top(), dpr), ToPhysical(c.left() + c.width(), dpr),
               ToPhysical(c.top() + c.height(), dpr)};
    window_ = {ToPhysical(f.left(), dpr), ToPhysical(f.top(), dpr), ToPhysical(f.left() + f.width(), dpr),
               ToPhysical(f.top() + f.height(), dpr)};
    shown_ = isVisible();
}

void X11OverlayWindow::SetGeometry(const PixelRect& r, bool show) {
    const double dpr = devicePixelRatio();
    // Edges converted, not the size: the far edges then read back where they were put.
    const int left = ToLogical(r.left, dpr), top = ToLogical(r.top, dpr);
    setGeometry(QRect(QPoint(left, top), QSize(std::max(1, ToLogical(r.right, dpr) - left),
                                               std::max(1, ToLogical(r.bottom, dpr) - top))));
    StoreGeometry();
    if (show) Show();
}

void X11OverlayWindow::MoveTo(int left, int top, bool show) {
    const double dpr = devicePixelRatio();
    const QMargins m = FrameMargins();
    setPosition(ToLogical(left, dpr) - m.left(), ToLogical(top, dpr) - m.top());
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
        const int left = ToLogical(p.left, dpr), top = ToLogical(p.top, dpr);
        region += QRect(left, top, ToLogical(p.right, dpr) - left, ToLogical(p.bottom, dpr) - top);
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

void X11OverlayWindow::FollowInputShape() {
    // Qt gives a window that takes the mouse again an input region of its size at that moment; the
    // framed view grows and is resized afterwards, so its input region is reset to the whole window.
    if (!framed_ || !input_ || !*input_) return;
    input_->Name("XFixesSetWindowShapeRegion");
    XFixesSetWindowShapeRegion(input_->display(), static_cast<::Window>(id_), ShapeInput, 0, 0, None);
    XFlush(input_->display());
    input_->TakeError();
}

void X11OverlayWindow::resizeEvent(QResizeEvent* e) {
    QWindow::resizeEvent(e);
    FollowInputShape();
    StoreGeometry();
    if (events_.moved) events_.moved();
}

void X11OverlayWindow::wheelEvent(QWheelEvent* e) {
    if (events_.wheel) events_.wheel(e->angleDelta().y());
    e->accept();
}

int X11OverlayWindow::EdgesAt(const QPointF& p) const {
    if (!framed_) return 0;
    const QMargins m = FrameMargins();
    const double w = width(), h = height();
    // The corners reach a little further along the edges, as a desktop's do.
    const double corner = 2.0 * m.left();
    int edges = 0;
    if (p.x() < m.left()) edges |= kLeftEdge;
    if (p.x() >= w - m.right()) edges |= kRightEdge;
    if (p.y() < m.left()) edges |= kTopEdge;  // the top border is as thick as the others
    if (p.y() >= h - m.bottom()) edges |= kBottomEdge;
    if (edges & (kTopEdge | kBottomEdge)) {
        if (p.x() < corner) edges |= kLeftEdge;
        if (p.x() >= w - corner) edges |= kRightEdge;
    }
    if (edges & (kLeftEdge | kRightEdge)) {
        if (p.y() < corner) edges |= kTopEdge;
        if (p.y() >= h - corner) edges |= kBottomEdge;
    }
    return edges;
}

void X11OverlayWindow::ShowEdgeCursor(int edges) {
    const bool horizontal = (edges & (kLeftEdge | kRightEdge)) != 0,
               vertical = (edges & (kTopEdge | kBottomEdge)) != 0;
    if (horizontal && vertical) {
        const bool falling = (edges & kLeftEdge) ? (edges & kTopEdge) != 0 : (edges & kBottomEdge) != 0;
        setCursor(falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
    } else if (horizontal) {
        setCursor(Qt::SizeHorCursor);
    } else if (vertical) {
        setCursor(Qt::SizeVerCursor);
    } else {
        unsetCursor();
    }
}

QPoint X11OverlayWindow::ClientPoint(const QPointF& p) const {
    const double dpr = devicePixelRatio();
    const QMargins m = FrameMargins();
    return {ToPhysical(p.x() - m.left(), dpr), ToPhysical(p.y() - m.top(), dpr)};
}

void X11OverlayWindow::mousePressEvent(QMouseEvent* e) {
    e->accept();
    if (framed_ && e->button() == Qt::LeftButton && resizeEdges_ == 0 && !movingByCaption_) {
        // The frame's own gestures: a border resizes the view, the caption moves it.
        const int edges = EdgesAt(e->position());
        if (edges != 0 || e->position().y() < FrameMargins().top()) {
            resizeEdges_ = edges;
            movingByCaption_ = edges == 0;
            pressGlobal_ = e->globalPosition().toPoint();
            pressGeometry_ = geometry();
            return;
        }
    }
    const QPoint c = ClientPoint(e->position());
    if (events_.pressed && e->button() == Qt::LeftButton) events_.pressed(MouseButton::Left, c.x(), c.y());
    if (events_.pressed && e->button() == Qt::RightButton) events_.pressed(MouseButton::Right, c.x(), c.y());
}

void X11OverlayWindow::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    if (resizeEdges_ != 0 || movingByCaption_) {
        const QPoint d = e->globalPosition().toPoint() - pressGlobal_;
        if (movingByCaption_) {
            setPosition(pressGeometry_.topLeft() + d);
            return;
        }
        const QMargins m = FrameMargins();
        const int minWidth = m.left() + m.right() + 32, minHeight = m.top() + m.bottom() + 24;
        QRect r = pressGeometry_;
        if (resizeEdges_ & kLeftEdge) r.setLeft(std::min(r.left() + d.x(), r.right() + 1 - minWidth));
        if (resizeEdges_ & kRightEdge) r.setRight(std::max(r.right() + d.x(), r.left() + minWidth - 1));
        if (resizeEdges_ & kTopEdge) r.setTop(std::min(r.top() + d.y(), r.bottom() + 1 - minHeight));
        if (resizeEdges_ & kBottomEdge) r.setBottom(std::max(r.bottom() + d.y(), r.top() + minHeight - 1));
        setGeometry(r);
        return;
    }
    if (framed_ && e->buttons() == Qt::NoButton) ShowEdgeCursor(EdgesAt(e->position()));
    if (events_.movedMouse) {
        const QPoint c = ClientPoint(e->position());
        events_.movedMouse(e->buttons() & Qt::LeftButton, e->buttons() & Qt::RightButton, c.x(), c.y());
    }
}

void X11OverlayWindow::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    if ((resizeEdges_ != 0 || movingByCaption_) && e->button() == Qt::LeftButton) {
        resizeEdges_ = 0;
        movingByCaption_ = false;
        return;
    }
    const QPoint c = ClientPoint(e->position());
    if (events_.released && e->button() == Qt::LeftButton) events_.released(MouseButton::Left, c.x(), c.y());
    if (events_.released && e->button() == Qt::RightButton)
        events_.released(MouseButton::Right, c.x(), c.y());
}

}  // namespace platform
