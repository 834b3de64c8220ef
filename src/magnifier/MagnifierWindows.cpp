#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <thread>
#include <utility>

#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "magnifier/MagnifierDisplay.h"
#include "magnifier/ViewGeometry.h"
#include "platform/Backend.h"
#include "platform/qt/MessageBox.h"

using platform::PixelRect;

int MagnifierDisplay::savedMouseSpeed = 0;
platform::PointerAcceleration MagnifierDisplay::savedAcceleration_;
bool MagnifierDisplay::savedAccelerationValid_ = false;

namespace {

// Waits on the UI thread until done() says so. Another thread may be waiting for this thread to show
// a message box meanwhile, so events are handled while one is pending.
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

void MagnifierDisplay::UseWindows(std::unique_ptr<platform::IOverlayWindow> view,
                                  std::unique_ptr<platform::IOverlayWindow> help) {
    overlayWindow = std::move(view);
    helpWindow = std::move(help);
    HandWindowsToRenderer();
}

bool MagnifierDisplay::Create(const std::u16string& sourceDisplayName) {
    platform::OverlayEvents events;
    events.moved = [this] {
        OnViewReported();
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
    // Two programs that both keep a window on top: the view gives way rather than fight.
    auto keptUnder = [] {
        Log() << LogTag::kMagnifier << "Another window keeps coming above the view: it is raised at most "
              << platform::kRaisesPerSecond << " times a second" << LogEnd;
    };
    events.keptUnder = keptUnder;
    platform::OverlayEvents helpEvents;
    helpEvents.keptUnder = keptUnder;
    platform::IBackend& backend = platform::Backend();
    platform::CallFailure failure;
    auto view = backend.CreateOverlayWindow(std::move(events), &failure);
    if (failure) LogFailure(LogTag::kMagnifier, failure);
    auto help = backend.CreateOverlayWindow(std::move(helpEvents), &failure);
    if (failure) LogFailure(LogTag::kMagnifier, failure);
    compositing_ = backend.CompositingManagerRunning();
    UseWindows(std::move(view), std::move(help));
    renderer_.PrepareSurface();
    SelectSourceDisplay(sourceDisplayName);
    return true;
}

void MagnifierDisplay::Start() {
    if (visible) SetVisible(false);
    stopEvent_ = false;
    renderThreadDone_ = false;
    HandWindowsToRenderer();
    renderThread_ = std::thread([this] { RenderThread(); });
}

void MagnifierDisplay::SetVisible(bool show) {
    if (show == visible) return;
    if (show) {
        if (mouseAdjust) {
            platform::CallFailure failure;
            // The exact acceleration comes back when the view hides; the speed scale is for slowing.
            savedAccelerationValid_ =
                platform::Backend().GetPointerAcceleration(&savedAcceleration_, &failure);
            if (failure) LogFailure(LogTag::kMagnifier, std::exchange(failure, {}));
            savedMouseSpeed = platform::Backend().GetPointerSpeed(&failure);
            if (savedMouseSpeed > 0) {
                platform::Backend().SetPointerSpeed(
                    std::max(1, savedMouseSpeed * 100 / EffectiveMagnification()), &failure);
            }
            if (failure) LogFailure(LogTag::kMagnifier, failure);
        }
        visible = true;
        showRequested_ = false;
        // With a render thread the window shows after its first frame (RenderThread).
        if (overlayWindow && !renderThread_.joinable()) overlayWindow->Show();
    } else {
        if (savedMouseSpeed != 0) {
            platform::CallFailure failure;
            const bool restored =
                savedAccelerationValid_
                    ? platform::Backend().SetPointerAcceleration(savedAcceleration_, &failure)
                    : platform::Backend().SetPointerSpeed(savedMouseSpeed, &failure);
            if (!restored) LogFailure(LogTag::kMagnifier, failure);
        }
        savedMouseSpeed = 0;
        savedAccelerationValid_ = false;
        if (overlayWindow) overlayWindow->Hide();
        visible = false;
    }
    Publish();
}

void MagnifierDisplay::SetEditorMode(bool on) {
    if (on == editorMode || !overlayWindow) return;
    if (on && overlayWindow->Surface() == nullptr) {
        // Nothing could draw into the framed window: the view stays in the mode it is in.
        Log() << LogError << "Cannot initialize Render swapchain" << LogEnd;
        platform::ShowMessageBox(u"Cannot initialize Render swapchain, check log file", u"Lentora",
                                 platform::MessageIcon::Error);
        return;
    }
    // The window keeps its client area; the frame grows around it (and goes again when leaving).
    overlayWindow->SetFramed(on);
    editorMode = on;
    if (on) {
        if (helpWindow) helpWindow->SetGeometry(DisplayRect(targetIndex), true);
        visibleBeforeEditor_ = visible;
        SetVisible(true);
    } else {
        SetVisible(visibleBeforeEditor_);
        if (helpWindow) helpWindow->Hide();
    }
    editorInput_.Reset();
    UpdateViewShape();
    Publish();
}

void MagnifierDisplay::Destroy() {
    if (renderThread_.joinable()) {
        stopEvent_ = true;
        renderSignal_.Notify();
        WaitOnUiThread([this] { return renderThreadDone_.load(); });
        renderThread_.join();
    } else {
        renderer_.Release();  // nothing of it was made on another thread
    }
    if (visible) SetVisible(false);
    overlayWindow.reset();
    helpWindow.reset();
    HandWindowsToRenderer();
}

void MagnifierDisplay::OnWheel(int delta) {
    magnification = EditorInput::Wheel(magnification, delta);
    Publish();
}

void MagnifierDisplay::OnMousePressed(bool left, int x, int y) {
    if (!overlayWindow) return;
    editorInput_.Press(left, x, y, overlayWindow->ClientRect());
}

void MagnifierDisplay::OnMouseMoved(bool left, bool right, int x, int y) {
    const EditorInput::Effect e = editorInput_.Move(left, right, x, y);
    if (e.moveWindowTo && overlayWindow) overlayWindow->MoveTo(e.moveWindowTo->x, e.moveWindowTo->y, false);
    if (e.pan.x != 0 || e.pan.y != 0) {
        sourceOffset.x += e.pan.x;
        sourceOffset.y += e.pan.y;
        Publish();
    }
}

void MagnifierDisplay::OnMouseReleased(bool left, int x, int y) {
    const EditorInput::Effect e = editorInput_.Release(left, x, y);
    if (e.moveWindowTo && overlayWindow) overlayWindow->MoveTo(e.moveWindowTo->x, e.moveWindowTo->y, false);
    if (e.pan.x != 0 || e.pan.y != 0) {
        sourceOffset.x += e.pan.x;
        sourceOffset.y += e.pan.y;
        Publish();
    }
}

void MagnifierDisplay::UpdateViewShape() {
    if (!overlayWindow) return;
    const bool cut = !compositing_ && !editorMode && outerColor.a <= 0.0f;
    overlayWindow->SetShape(
        cut ? ViewGeometry::MaskShape(targetWidthPx, targetHeightPx, maskType, maskDist, transitionDist)
            : std::vector<PixelRect>{});
}
