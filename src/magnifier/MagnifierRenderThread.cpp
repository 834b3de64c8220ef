#include <exception>

#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "magnifier/MagnifierDisplay.h"
#include "platform/OverlayWindow.h"
#include "platform/posix/ThreadName.h"
#include "platform/qt/MessageBox.h"

void MagnifierDisplay::Wake() { renderSignal_.Notify(); }

bool MagnifierDisplay::WaitForWork(bool visibleNow) {
    for (;;) {
        if (stopEvent_) return false;
        // While the view shows, a change of the screen wakes the thread at once. One already read from
        // the screen copy's connection is drawn without sleeping.
        int screenChanges = -1;
        if (visibleNow) {
            screenChanges = renderer_.SourceEventFd();
            if (screenChanges >= 0 && !renderer_.SourceReadyToWait()) return true;
        }
        const platform::WakeSignal::Woken woken = renderSignal_.Wait(screenChanges, kRenderWaitMs);
        if (const platform::CallFailure f = renderSignal_.TakeFailure()) LogFailure(LogTag::kMagnifier, f);
        if (stopEvent_) return false;
        if (woken != platform::WakeSignal::Woken::Timeout || visibleNow) return true;
        // Hidden: the source is dropped and made anew once the view shows again.
        renderer_.ReleaseFrameSources();
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
