#include <exception>

#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "magnifier/MagnifierDisplay.h"
#include "platform/OverlayWindow.h"
#include "platform/posix/ThreadName.h"
#include "platform/qt/MessageBox.h"

void MagnifierDisplay::Wake() {
    {
        std::lock_guard guard(eventLock_);
        wakeEvent_ = true;
    }
    eventSignal_.notify_one();
}

bool MagnifierDisplay::WaitForWork(bool visibleNow) {
    std::unique_lock lock(eventLock_);
    for (;;) {
        const bool signalled = eventSignal_.wait_for(lock, std::chrono::milliseconds(kRenderWaitMs),
                                                     [this] { return wakeEvent_ || stopEvent_; });
        if (stopEvent_) return false;
        if (signalled) {
            wakeEvent_ = false;  // one signal wakes one wait
            return true;
        }
        if (visibleNow) return true;
        // Hidden: the source is dropped and made anew once the view shows again.
        lock.unlock();
        renderer_.ReleaseFrameSources();
        lock.lock();
    }
}

void MagnifierDisplay::RenderThread() {
    platform::SetCurrentThreadName("MagnifierDisplay::RenderThread");
    std::u16string failure;
    // The box is handed to the UI thread: this thread never waits for it.
    if (!renderer_.Start(&failure))
        platform::ShowMessageBoxLater(failure, u"Lentora", platform::MessageIcon::Error);
    while (WaitForWork(frameSettings_.visible)) {
        {
            std::lock_guard guard(renderLock);
            published_.CopyIfNewer(frameSettings_, settingsSeen_);
        }
        try {
            const bool presented = renderer_.Step(frameSettings_);
            layerAlpha = renderer_.layerAlpha();
            presentCount = renderer_.presents();
            if (presented && frameSettings_.visible && overlayWindow && !overlayWindow->IsShown() &&
                !showRequested_.exchange(true)) {
                overlayWindow->ShowLater([this] { return visible; });
            }
        } catch (const std::exception& e) {
            // A failing step costs that frame, never the thread: the next step tries again.
            LogFailureText(LogTag::kMagnifier, "RenderStep", e.what());
        }
    }
    renderer_.Release();
    renderThreadDone_ = true;
}
