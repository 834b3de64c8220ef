#pragma once
// The magnifier's windows on X11: frameless windows that bypass the window manager (override-redirect),
// so no window manager can stack a focused full-screen game above them, raised when shown and raised
// again whenever another window comes above them (StackingGuard); they never take the focus. An ARGB
// OpenGL surface the render thread draws into. The view lets the mouse through until it is framed for
// editing; the help window always does. Created and driven on the UI thread; geometry, id and surface
// may be read from the render thread.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QWindow>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/CallFailure.h"
#include "platform/OverlayWindow.h"
#include "platform/x11/StackingGuard.h"

namespace platform {
namespace x11 {
class XConnection;
}

class X11OverlayWindow final : public QWindow, public IOverlayWindow {
    Q_OBJECT
public:
    using Events = OverlayEvents;

    static constexpr const char* kWindowClass = "Lentora_OverlayWindowClass";
    // The frame of editor mode, drawn by the view itself: a border on the left, right and bottom and a
    // caption strip with the top border, in physical pixels.
    static constexpr int kFrameLeft = 6;
    static constexpr int kFrameTop = 30;

    X11OverlayWindow();
    ~X11OverlayWindow() override;

    void SetEvents(Events events) { events_ = std::move(events); }

    // IOverlayWindow
    void SetGeometry(const PixelRect& rect, bool show) override;
    void MoveTo(int left, int top, bool show) override;
    void Show() override;
    void Hide() override;
    bool IsShown() const override;
    PixelRect WindowRect() const override;
    PixelRect ClientRect() const override;
    uint64_t NativeId() const override { return id_; }
    QSurface* Surface() const override;

    // Framed: the window manager's frame, and mouse input; unframed: neither.
    void SetFramed(bool framed) override;
    bool framed() const { return framed_; }
    void SetShape(std::vector<PixelRect> parts) override;
    void ShowLater(std::function<bool()> stillWanted) override;
    // What failed while the window was made (its class name could not be set), once.
    CallFailure TakeSetupFailure() { return std::exchange(setupFailure_, {}); }
    // Whether a compositing manager blends ARGB windows (someone owns _NET_WM_CM_S0).
    static bool CompositingManagerRunning();

protected:
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    enum Edge { kLeftEdge = 1, kRightEdge = 2, kTopEdge = 4, kBottomEdge = 8 };

    void ApplyFlags();
    // The frame around the client area, in logical pixels; none while unframed.
    QMargins FrameMargins() const;
    // The frame edges under a point of the window (logical pixels), 0 outside the borders.
    int EdgesAt(const QPointF& p) const;
    void ShowEdgeCursor(int edges);
    // A point of the window as client pixels.
    QPoint ClientPoint(const QPointF& p) const;
    // Framed: the whole window takes the mouse, whatever size it has grown to.
    void FollowInputShape();
    void StoreGeometry();
    void ApplyShape();

    Events events_;
    bool framed_ = false;
    uint64_t id_ = 0;
    mutable std::mutex geometryLock_;  // guards the two rectangles and shown_
    PixelRect window_{}, client_{};
    bool shown_ = false;
    std::vector<PixelRect> shape_;  // UI thread
    CallFailure setupFailure_;
    std::unique_ptr<StackingGuard> guard_;
    std::unique_ptr<x11::XConnection> input_;  // for the input region; Xlib stays out of this header
    // A gesture of the frame in progress: the edges being dragged, or the caption.
    int resizeEdges_ = 0;
    bool movingByCaption_ = false;
    QPoint pressGlobal_;
    QRect pressGeometry_;
};

}  // namespace platform
