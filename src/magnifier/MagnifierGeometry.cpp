#include <cmath>

#include "magnifier/MagnifierDisplay.h"
#include "magnifier/MonitorList.h"
#include "platform/OverlayWindow.h"

using platform::PixelRect;

bool MagnifierDisplay::SelectSourceDisplay(const std::u16string& name) {
    std::lock_guard guard(renderLock);
    MonitorList::EnsureMonitorList();
    sourceIndex = 0;
    sourceMonitor = MonitorList::First().handle;
    for (size_t i = 0; i < MonitorList::Count(); ++i) {
        if (MonitorList::At(i).deviceName == name) {
            sourceIndex = static_cast<int32_t>(i);
            sourceMonitor = MonitorList::At(i).handle;
            break;
        }
    }
    restartCapture = true;
    return true;
}

bool MagnifierDisplay::SelectTargetDisplay(const std::u16string& name, bool place) {
    MonitorList::EnsureMonitorList();
    std::lock_guard guard(renderLock);
    targetIndex = 0;
    targetMonitor = MonitorList::First().handle;
    for (size_t i = 0; i < MonitorList::Count(); ++i) {
        const MonitorEntry& e = MonitorList::At(i);
        if (e.deviceName != name) continue;
        targetIndex = static_cast<int32_t>(i);
        targetMonitor = e.handle;
        if (helpWindow) helpWindow->SetGeometry(e.bounds, false);
        if (place) PlaceView();
        break;
    }
    restartCapture = true;
    return true;
}

PixelRect MagnifierDisplay::DisplayRect(int32_t& indexRef) {
    if (indexRef < 0 || static_cast<size_t>(indexRef) >= MonitorList::Count()) indexRef = 0;
    return MonitorList::At(static_cast<size_t>(indexRef)).bounds;
}

void MagnifierDisplay::PlaceView() {
    const PixelRect r = DisplayRect(targetIndex);
    const float W = static_cast<float>(r.right - r.left), H = static_cast<float>(r.bottom - r.top);
    const float cx = (static_cast<float>(targetOffset.x) / 1000.0f + 50.0f) * W / 100.0f + static_cast<float>(r.left);
    const float cy = (static_cast<float>(targetOffset.y) / 1000.0f + 50.0f) * H / 100.0f + static_cast<float>(r.top);
    const float hw = (static_cast<float>(targetSize.x) / 1000.0f) * W / 200.0f;
    const float hh = (static_cast<float>(targetSize.y) / 1000.0f) * H / 200.0f;
    const PixelRect view{static_cast<int>(std::trunc(cx - hw)), static_cast<int>(std::trunc(cy - hh)),
                         static_cast<int>(std::trunc(cx + hw)), static_cast<int>(std::trunc(cy + hh))};
    targetWidthPx = view.right - view.left;
    targetHeightPx = view.bottom - view.top;
    positioning = true;
    if (overlayWindow) overlayWindow->SetGeometry(view, visible);
    positioning = false;
}

void MagnifierDisplay::OnViewMoved(bool place) {
    if (!overlayWindow) return;
    const MonitorEntry* m = MonitorList::FromRect(overlayWindow->WindowRect());
    if (m == nullptr) {
        m = &MonitorList::First();
        overlayWindow->MoveTo(m->bounds.left, m->bounds.top, true);
    }
    const PixelRect V = editorMode ? overlayWindow->ClientRect() : overlayWindow->WindowRect();
    const PixelRect& D = m->bounds;
    const float W = static_cast<float>(D.right - D.left), H = static_cast<float>(D.bottom - D.top);
    const float w = static_cast<float>(V.right - V.left), h = static_cast<float>(V.bottom - V.top);
    const auto ox = static_cast<int32_t>(
        std::trunc((static_cast<float>(V.left - D.left) * 100.0f / W + (w * 100.0f / W) * 0.5f - 50.0f) * 1000.0f));
    const auto oy = static_cast<int32_t>(
        std::trunc((static_cast<float>(V.top - D.top) * 100.0f / H + (h * 100.0f / H) * 0.5f - 50.0f) * 1000.0f));
    const auto sw = static_cast<int32_t>(std::trunc((w * 100.0f / W) * 1000.0f));
    const auto sh = static_cast<int32_t>(std::trunc((h * 100.0f / H) * 1000.0f));
    if (IntPair{ox, oy} == targetOffset && IntPair{sw, sh} == targetSize && m->handle == targetMonitor) return;
    targetWidthPx = V.right - V.left;
    targetHeightPx = V.bottom - V.top;
    targetOffset = {ox, oy};
    targetSize = {sw, sh};
    if (m->handle != targetMonitor) {
        targetMonitor = m->handle;
        SelectTargetDisplay(m->deviceName, place);
    }
}

PixelRect MagnifierDisplay::SourceRect(int Wt, int Ht) {
    const PixelRect R = DisplayRect(sourceIndex);
    const float cx = static_cast<float>((R.right - R.left) / 2 + sourceOffset.x);
    const float cy = static_cast<float>((R.bottom - R.top) / 2 + sourceOffset.y);
    const float z = static_cast<float>(EffectiveMagnification()) / 100.0f;
    const float hw = (static_cast<float>(Wt) / z) * 0.5f, hh = (static_cast<float>(Ht) / z) * 0.5f;
    return {static_cast<int>(std::round(cx - hw)), static_cast<int>(std::round(cy - hh)),
            static_cast<int>(std::round(cx + hw)), static_cast<int>(std::round(cy + hh))};
}

uint8_t MagnifierDisplay::OverlapAlpha() const {
    if (mainWindow == nullptr || !overlayWindow || !activeWindow) return 255;
    const uint64_t fg = activeWindow();
    if (fg == 0 || (fg != mainWindow->NativeId() && fg != overlayWindow->NativeId())) return 255;
    const PixelRect main = mainWindow->WindowRect();
    const PixelRect view = overlayWindow->WindowRect();
    const long long iw = std::min(main.right, view.right) - std::max(main.left, view.left);
    const long long ih = std::min(main.bottom, view.bottom) - std::max(main.top, view.top);
    const long long area = static_cast<long long>(main.right - main.left) * (main.bottom - main.top);
    if (iw <= 0 || ih <= 0 || area <= 0) return 255;
    return static_cast<uint8_t>(255 - (iw * ih * 255) / area);
}
