#pragma once
// The back end without a desktop: a fixed list of monitors, screen copies of a synthetic picture,
// overlay windows that only remember, no keys down, a pointer speed kept in memory. Tests configure it.

#include <functional>
#include <memory>
#include <vector>

#include "platform/Backend.h"
#include "platform/null/NullScreenCopy.h"

namespace platform {

class NullBackend final : public IBackend {
public:
    NullBackend();

    const char* Name() const override { return "null"; }
    std::vector<MonitorInfo> Monitors(CallFailure* failure) override;
    std::vector<OutputInfo> Outputs(CallFailure* failure) override;
    uint64_t ActiveWindow(CallFailure*) override { return activeWindow; }
    std::unique_ptr<IWindowGeometry> WindowGeometry(QWindow* window) override;
    std::unique_ptr<IScreenCopy> OpenScreenCopy(const PixelRect& area, CallFailure* failure) override;
    bool ScreenCastSupported() override { return false; }
    std::unique_ptr<IOverlayWindow> CreateOverlayWindow(OverlayEvents events,
                                                        CallFailure* setupFailure) override;
    bool CompositingManagerRunning() override { return compositing; }
    std::unique_ptr<IKeyState> OpenKeyState() override;
    int GetPointerSpeed(CallFailure*) override { return pointerSpeed; }
    bool SetPointerSpeed(int speed, CallFailure*) override;
    bool GetPointerAcceleration(PointerAcceleration* a, CallFailure*) override {
        *a = acceleration;
        return true;
    }
    bool SetPointerAcceleration(const PointerAcceleration& a, CallFailure*) override;

    // What tests set.
    std::vector<MonitorInfo> monitors;
    uint64_t activeWindow = 0;
    bool compositing = false;
    int pointerSpeed = 10;
    PointerAcceleration acceleration{10, 10, 0};  // the speed's, unless set exactly
    NullScreenCopy::Picture picture;
    // A screen copy fails to open with this failure while it is set.
    CallFailure openFailure;
    // Every screen copy opened so far, for tests to drive (owned by whoever opened it: valid while
    // that owner keeps it).
    std::vector<NullScreenCopy*> screenCopies;
    int overlayWindows = 0;
};

}  // namespace platform
