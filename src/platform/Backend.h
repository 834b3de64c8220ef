#pragma once
// The desktop as the program's logic uses it: monitors, the active window, copies of the screen, the
// magnifier's overlay windows, the key state and the pointer speed. One back end serves the process:
// the X server's, or the null back end of the tests (fixed monitors, synthetic frames, windows that
// only remember where they were put). The loader chooses on first use; the environment variable
// LENTORA_PLATFORM=null picks the null one.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/CallFailure.h"
#include "platform/IKeyState.h"
#include "platform/IScreenCopy.h"
#include "platform/MonitorInfo.h"
#include "platform/OverlayWindow.h"
#include "platform/PointerAcceleration.h"

class QWindow;

namespace platform {

class IBackend {
public:
    virtual ~IBackend() = default;
    virtual const char* Name() const = 0;

    // The active monitors, in the order the desktop reports them. Any thread.
    virtual std::vector<MonitorInfo> Monitors(CallFailure* failure) = 0;
    // Every output of the desktop, attached or not. Any thread.
    virtual std::vector<OutputInfo> Outputs(CallFailure* failure) = 0;
    // The window that has the focus; 0 when none is known. Any thread.
    virtual uint64_t ActiveWindow(CallFailure* failure) = 0;
    // One of the program's own top-level windows, readable from any thread.
    virtual std::unique_ptr<IWindowGeometry> WindowGeometry(QWindow* window) = 0;

    // A copy of this rectangle of the screen; null on failure.
    virtual std::unique_ptr<IScreenCopy> OpenScreenCopy(const PixelRect& area, CallFailure* failure) = 0;
    // The screen-cast portal as a frame source (not built yet).
    virtual bool ScreenCastSupported() = 0;

    // A frameless, topmost, click-through window of the magnifier, reporting to events. UI thread.
    virtual std::unique_ptr<IOverlayWindow> CreateOverlayWindow(OverlayEvents events,
                                                                CallFailure* setupFailure) = 0;
    // Whether alpha is blended on this desktop (a compositing manager runs).
    virtual bool CompositingManagerRunning() = 0;

    // The key state for the calling thread; never null (a state that cannot be read fails each Read).
    virtual std::unique_ptr<IKeyState> OpenKeyState() = 0;

    // The pointer speed on the 1..20 scale (10: the pointer moves as the mouse does); 0 when unknown.
    virtual int GetPointerSpeed(CallFailure* failure) = 0;
    virtual bool SetPointerSpeed(int speed, CallFailure* failure) = 0;
    // The user's pointer acceleration exactly as the server has it, to be put back as it was (the speed
    // above is rounded). False when it cannot be read or set.
    virtual bool GetPointerAcceleration(PointerAcceleration* acceleration, CallFailure* failure) = 0;
    virtual bool SetPointerAcceleration(const PointerAcceleration& acceleration, CallFailure* failure) = 0;
};

// The back end in use.
IBackend& Backend();
// For tests: uses this back end from now on; null returns to the loader's choice.
void SetBackend(std::unique_ptr<IBackend> backend);

}  // namespace platform
