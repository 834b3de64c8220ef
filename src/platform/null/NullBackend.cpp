#include "platform/null/NullBackend.h"

#include <algorithm>

#include "platform/null/NullOverlayWindow.h"

namespace platform {
namespace {

// The blocks of the tests' pattern, 24 pixels wide, as B, G, R, X.
uint32_t Pattern(int x, int y, int) {
    const uint32_t bx = static_cast<uint32_t>(x / 24), by = static_cast<uint32_t>(y / 24);
    const uint32_t r = (bx * 47) % 256, g = (by * 83) % 256, b = (bx * 13 + by * 29) % 256;
    return (r << 16) | (g << 8) | b;
}

class NoKeys final : public IKeyState {
public:
    bool Read(KeySnapshot& snapshot) override {
        snapshot = {};
        return true;
    }
    KeyStateError TakeError() override { return {}; }
};

class NoWindow final : public IWindowGeometry {
public:
    PixelRect WindowRect() const override { return {}; }
    uint64_t NativeId() const override { return 0; }
};

}  // namespace

NullBackend::NullBackend() : monitors{{1, {0, 0, 1920, 1080}, "screen"}}, picture(Pattern) {}

std::vector<MonitorInfo> NullBackend::Monitors(CallFailure*) { return monitors; }

std::vector<OutputInfo> NullBackend::Outputs(CallFailure*) {
    std::vector<OutputInfo> out;
    for (const MonitorInfo& m : monitors) out.push_back({m.deviceName, true, m.bounds, {}});
    return out;
}

std::unique_ptr<IWindowGeometry> NullBackend::WindowGeometry(QWindow*) {
    return std::make_unique<NoWindow>();
}

std::unique_ptr<IScreenCopy> NullBackend::OpenScreenCopy(const PixelRect& area, CallFailure* failure) {
    if (openFailure) {
        if (failure != nullptr) *failure = openFailure;
        return nullptr;
    }
    auto copy = std::make_unique<NullScreenCopy>(area, picture);
    screenCopies.push_back(copy.get());
    return copy;
}

std::unique_ptr<IOverlayWindow> NullBackend::CreateOverlayWindow(OverlayEvents events, CallFailure*) {
    return std::make_unique<NullOverlayWindow>(static_cast<uint64_t>(1000 + ++overlayWindows),
                                               std::move(events));
}

std::unique_ptr<IKeyState> NullBackend::OpenKeyState() { return std::make_unique<NoKeys>(); }

bool NullBackend::SetPointerSpeed(int speed, CallFailure*) {
    pointerSpeed = std::clamp(speed, 1, 20);
    acceleration = {pointerSpeed, 10, 0};
    return true;
}

bool NullBackend::SetPointerAcceleration(const PointerAcceleration& a, CallFailure*) {
    acceleration = a;
    pointerSpeed =
        a.denominator > 0 ? std::clamp((10 * a.numerator + a.denominator / 2) / a.denominator, 1, 20) : 10;
    return true;
}

}  // namespace platform
