#include <exception>

#include "capture/DuplicationSource.h"
#include "log/IDebugPrint.h"
#include "magnifier/MagnifierDisplay.h"
#include "platform/MessageBox.h"
#include "platform/OverlayWindow.h"
#include "platform/ThreadName.h"
#include "render/RenderEngine.h"

void MagnifierDisplay::Wake() {
    {
        std::lock_guard guard(eventLock_);
        wakeEvent_ = true;
    }
    eventSignal_.notify_one();
}

bool MagnifierDisplay::WaitForWork() {
    std::unique_lock lock(eventLock_);
    for (;;) {
        const bool signalled = eventSignal_.wait_for(lock, std::chrono::milliseconds(kRenderWaitMs),
                                                     [this] { return wakeEvent_ || stopEvent_; });
        if (stopEvent_) return false;
        if (signalled) {
            wakeEvent_ = false;  // one signal wakes one wait
            return true;
        }
        if (visible) return true;
        // Hidden: the source is dropped and made anew once the view shows again.
        restartCapture = true;
    }
}

void MagnifierDisplay::RenderThread() {
    platform::SetCurrentThreadName("MagnifierDisplay::RenderThread");
    std::u16string failure;
    bool started = false;
    {
        std::lock_guard guard(renderLock);
        started = StartEngine(&failure);
    }
    // Shown outside the lock, so the UI thread is never stuck on it while the box waits for it.
    if (!started) platform::ShowMessageBox(failure, u"Lentora", platform::MessageIcon::Error);
    while (WaitForWork()) {
        std::lock_guard guard(renderLock);
        try {
            RenderStep();
        } catch (const std::exception& e) {
            // A failing step costs that frame, never the thread: the next step tries again.
            Log() << LogError << "[Magnifier]" << "[Error] " << "RenderStep" << " : " << e.what() << LogEnd;
        }
    }
    {
        std::lock_guard guard(renderLock);
        ReleaseGraphics();
    }
    renderThreadDone_ = true;
}

void MagnifierDisplay::RenderStep() {
    if (!engine || !engine->HasDevice()) return;
    if (editorMode) DrawHelp();
    if (restartCapture) {
        // Capture exclusion of the view windows does not exist on X11: nothing to undo here.
        ReleaseFrameSources();
        restartCapture = false;
    }
    if (!EnsureFrameSource()) return;
    if (duplicationSource) {
        // The view redrawing itself is no change of the screen.
        std::vector<platform::PixelRect> own;
        if (overlayWindow && overlayWindow->IsShown()) own.push_back(overlayWindow->WindowRect());
        if (helpWindow && helpWindow->IsShown()) own.push_back(helpWindow->WindowRect());
        duplicationSource->SetIgnoredAreas(std::move(own));
    }
    ComposeFrame();
    if (visible && overlayWindow && !overlayWindow->IsShown() && !showRequested_) {
        showRequested_ = true;
        overlayWindow->ShowLater([this] { return visible.load(); });
    }
}
