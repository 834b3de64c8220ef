#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <thread>

#include "capture/GraphicsCaptureSource.h"
#include "log/IDebugPrint.h"
#include "magnifier/MagnifierDisplay.h"
#include "platform/MessageBox.h"
#include "platform/MouseSpeed.h"
#include "platform/X11OverlayWindow.h"
#include "render/RenderEngine.h"

using platform::PixelRect;

int MagnifierDisplay::savedMouseSpeed = 0;

namespace {

// Waits on the UI thread until done() says so. The render thread may be waiting for this thread to
// show a message box meanwhile, so events are handled while one is pending.
template <typename Done>
void WaitOnUiThread(Done done) {
    while (!done()) {
        if (platform::MessageBoxWaiting() && QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

}  // namespace

std::unique_lock<std::recursive_mutex> MagnifierDisplay::LockForUi() {
    std::unique_lock lock(renderLock, std::try_to_lock);
    WaitOnUiThread([&] { return lock.owns_lock() || lock.try_lock(); });
    return lock;
}

bool MagnifierDisplay::Create(const std::u16string& sourceDisplayName) {
    auto view = std::make_unique<platform::X11OverlayWindow>();
    auto help = std::make_unique<platform::X11OverlayWindow>();
    platform::X11OverlayWindow::Events events;
    events.moved = [this] {
        if (!positioning) OnViewMoved(false);
        UpdateViewShape();
    };
    events.wheel = [this](int delta) { OnWheel(delta); };
    events.pressed = [this](platform::MouseButton b, int x, int y) {
        OnMousePressed(b == platform::MouseButton::Left, x, y);
    };
    events.movedMouse = [this](bool left, bool right, int x, int y) { OnMouseMoved(left, right, x, y); };
    events.released = [this](platform::MouseButton b, int x, int y) {
        OnMouseReleased(b == platform::MouseButton::Left, x, y);
    };
    events.displayChanged = [](int w, int h) { Log() << "DisplayChange: " << w << " x " << h << LogEnd; };
    view->SetEvents(std::move(events));
    overlayWindow = std::move(view);
    helpWindow = std::move(help);
    compositing_ = platform::X11OverlayWindow::CompositingManagerRunning();

    engine = std::make_unique<RenderEngine>(renderLock);
    engine->PrepareSurface();
    captureMethod = CaptureSupported() ? 0 : 1;
    SelectSourceDisplay(sourceDisplayName);
    return true;
}

void MagnifierDisplay::Start() {
    if (visible) SetVisible(false);
    {
        std::lock_guard guard(eventLock_);
        wakeEvent_ = stopEvent_ = false;
    }
    renderThread_ = std::thread([this] { RenderThread(); });
}

void MagnifierDisplay::SetVisible(bool show) {
    if (show == visible) return;
    if (show) {
        if (mouseAdjust) {
            savedMouseSpeed = platform::GetMouseSpeed();
            platform::SetMouseSpeed(std::max(1, savedMouseSpeed * 100 / EffectiveMagnification()));
        }
        visible = true;
        showRequested_ = false;
        // With a render thread the window shows after its first frame, see RenderStep.
        if (overlayWindow && !renderThread_.joinable()) overlayWindow->Show();
        Wake();
    } else {
        if (savedMouseSpeed != 0) platform::SetMouseSpeed(savedMouseSpeed);
        savedMouseSpeed = 0;
        if (overlayWindow) overlayWindow->Hide();
        visible = false;
    }
}

void MagnifierDisplay::SetEditorMode(bool on) {
    if (on == editorMode || !overlayWindow) return;
    bool failed = false;
    {
        auto lock = LockForUi();
        // The window keeps its client area; the frame grows around it (and goes again when leaving).
        overlayWindow->SetFramed(on);
        editorMode = on;
        if (on) {
            if (helpWindow) helpWindow->SetGeometry(DisplayRect(targetIndex), true);
            helpPresentedAt_ = {};
            if (!engine || !engine->CreateSwapChain(overlayWindow.get())) {
                Log() << LogError << "Cannot initialize Render swapchain" << LogEnd;
                // Back to the mode the view was in, rather than a framed window nothing draws into.
                overlayWindow->SetFramed(false);
                editorMode = false;
                if (helpWindow) helpWindow->Hide();
                failed = true;
            } else {
                Wake();
                visibleBeforeEditor_ = visible;
                SetVisible(true);
            }
        } else {
            SetVisible(visibleBeforeEditor_);
            if (helpWindow) helpWindow->Hide();
            if (engine) engine->ReleaseSwapChain();
        }
        dragging_ = panning_ = false;
        UpdateViewShape();
    }
    if (failed) {
        platform::ShowMessageBox(u"Cannot initialize Render swapchain, check log file", u"Lentora",
                                 platform::MessageIcon::Error);
    }
}

void MagnifierDisplay::Destroy() {
    if (renderThread_.joinable()) {
        {
            std::lock_guard guard(eventLock_);
            stopEvent_ = true;
        }
        eventSignal_.notify_all();
        WaitOnUiThread([this] { return renderThreadDone_.load(); });
        renderThread_.join();
    }
    if (visible) SetVisible(false);
    overlayWindow.reset();
    helpWindow.reset();
    ReleaseGraphics();
}

void MagnifierDisplay::OnWheel(int delta) {
    magnification = std::clamp(magnification + delta / 10, 100, 1000);
}

void MagnifierDisplay::OnMousePressed(bool left, int x, int y) {
    if (dragging_ || panning_ || !overlayWindow) return;  // one button holds the mouse at a time
    if (left) {
        const PixelRect r = overlayWindow->ClientRect();
        dragLeft_ = r.left, dragTop_ = r.top;
        dragStartX_ = x, dragStartY_ = y;
        dragging_ = true;
    } else {
        panLastX_ = x, panLastY_ = y;
        panning_ = true;
    }
}

void MagnifierDisplay::OnMouseMoved(bool left, bool right, int x, int y) {
    if (left && dragging_ && overlayWindow) {
        dragLeft_ += x - dragStartX_;
        dragTop_ += y - dragStartY_;
        overlayWindow->MoveTo(dragLeft_, dragTop_, false);
    }
    if (right && panning_) {
        sourceOffset.x += panLastX_ - x;
        sourceOffset.y += panLastY_ - y;
        panLastX_ = x, panLastY_ = y;
    }
}

void MagnifierDisplay::OnMouseReleased(bool left, int x, int y) {
    OnMouseMoved(left, !left, x, y);
    if (left) dragging_ = false;
    else panning_ = false;
}

void MagnifierDisplay::UpdateViewShape() {
    if (!overlayWindow) return;
    std::vector<PixelRect> parts;
    const int W = targetWidthPx, H = targetHeightPx;
    const bool cut = !compositing_ && !editorMode && outerColor.a <= 0.0f && W > 0 && H > 0;
    if (cut && maskType == 1) {
        const double r = (maskDist + transitionDist * 0.5) * std::min(W, H);
        const double cx = W * 0.5, cy = H * 0.5;
        for (int y = 0; y < H; ++y) {
            const double dy = y + 0.5 - cy;
            if (std::abs(dy) >= r) continue;
            const double half = std::sqrt(r * r - dy * dy);
            const PixelRect row{std::max(0, static_cast<int>(std::floor(cx - half))), y,
                                std::min(W, static_cast<int>(std::ceil(cx + half))), y + 1};
            // Rows of the same width make one rectangle.
            if (!parts.empty() && parts.back().left == row.left && parts.back().right == row.right &&
                parts.back().bottom == y) {
                parts.back().bottom = y + 1;
            } else {
                parts.push_back(row);
            }
        }
        if (parts.empty()) parts.push_back({0, 0, 1, 1});  // nothing shows; an empty list would show all
    } else if (cut && maskType == 2) {
        const double half = maskDist + transitionDist * 0.5;
        const int hw = static_cast<int>(std::ceil(half * W)), hh = static_cast<int>(std::ceil(half * H));
        parts.push_back({std::max(0, W / 2 - hw), std::max(0, H / 2 - hh), std::min(W, W / 2 + hw),
                         std::min(H, H / 2 + hh)});
    }
    overlayWindow->SetShape(std::move(parts));
}
