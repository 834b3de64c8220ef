#include "platform/x11/X11Backend.h"

#include "platform/x11/Monitors.h"
#include "platform/x11/MouseSpeed.h"
#include "platform/x11/NativeWindowGeometry.h"
#include "platform/x11/ScreenGrabber.h"
#include "platform/x11/WindowScreenCopy.h"
#include "platform/x11/X11KeyState.h"
#include "platform/x11/X11OverlayWindow.h"

namespace platform {
namespace {

class X11Backend final : public IBackend {
public:
    const char* Name() const override { return "x11"; }
    std::vector<MonitorInfo> Monitors(CallFailure* failure) override { return EnumerateMonitors(failure); }
    std::vector<OutputInfo> Outputs(CallFailure* failure) override { return EnumerateOutputs(failure); }
    uint64_t ActiveWindow(CallFailure* failure) override { return platform::ActiveWindow(failure); }
    std::unique_ptr<IWindowGeometry> WindowGeometry(QWindow* window) override {
        return std::make_unique<NativeWindowGeometry>(window);
    }
    std::unique_ptr<IScreenCopy> OpenScreenCopy(const PixelRect& area, CallFailure* failure) override {
        CallFailure why;
        if (auto copy = WindowScreenCopy::Create(area, &why)) return copy;
        // Without the Composite extension: the screen as shown, the program's windows in it.
        auto screen = ScreenGrabber::Create(area, failure);
        if (screen) screen->SetFallbackReason(std::move(why));
        return screen;
    }
    bool ScreenCastSupported() override { return false; }
    std::unique_ptr<IOverlayWindow> CreateOverlayWindow(OverlayEvents events,
                                                        CallFailure* setupFailure) override {
        auto w = std::make_unique<X11OverlayWindow>();
        w->SetEvents(std::move(events));
        if (setupFailure != nullptr) *setupFailure = w->TakeSetupFailure();
        return w;
    }
    bool CompositingManagerRunning() override { return X11OverlayWindow::CompositingManagerRunning(); }
    std::unique_ptr<IKeyState> OpenKeyState() override { return OpenX11KeyState(); }
    int GetPointerSpeed(CallFailure* failure) override { return GetMouseSpeed(failure); }
    bool SetPointerSpeed(int speed, CallFailure* failure) override { return SetMouseSpeed(speed, failure); }
    bool GetPointerAcceleration(PointerAcceleration* a, CallFailure* failure) override {
        return platform::GetPointerAcceleration(&a->numerator, &a->denominator, &a->threshold, failure);
    }
    bool SetPointerAcceleration(const PointerAcceleration& a, CallFailure* failure) override {
        return platform::SetPointerAcceleration(a.numerator, a.denominator, a.threshold, failure);
    }
};

}  // namespace

std::unique_ptr<IBackend> MakeX11Backend() { return std::make_unique<X11Backend>(); }

}  // namespace platform
