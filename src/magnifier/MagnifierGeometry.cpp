#include "magnifier/MagnifierDisplay.h"
#include "magnifier/MonitorList.h"
#include "magnifier/ViewGeometry.h"
#include "platform/OverlayWindow.h"

using platform::PixelRect;

bool MagnifierDisplay::SelectSourceDisplay(const std::u16string& name) {
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
    Publish();
    return true;
}

bool MagnifierDisplay::SelectTargetDisplay(const std::u16string& name, bool place) {
    MonitorList::EnsureMonitorList();
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
    Publish();
    return true;
}

PixelRect MagnifierDisplay::DisplayRect(int32_t& indexRef) {
    if (indexRef < 0 || static_cast<size_t>(indexRef) >= MonitorList::Count()) indexRef = 0;
    return MonitorList::At(static_cast<size_t>(indexRef)).bounds;
}

void MagnifierDisplay::PlaceView() {
    const PixelRect view = ViewGeometry::ViewRect(DisplayRect(targetIndex), targetOffset, targetSize);
    targetWidthPx = view.right - view.left;
    targetHeightPx = view.bottom - view.top;
    positioning = true;
    if (overlayWindow) {
        overlayWindow->SetGeometry(view, visible);
        // The X server reports the move later: that report is this placement, not the user's.
        placedView_ = overlayWindow->WindowRect();
    }
    positioning = false;
    Publish();
}

void MagnifierDisplay::OnViewReported() {
    if (positioning || !overlayWindow) return;
    // The view where the program put it: its offsets stay as set (the pixels may round them).
    if (!placedView_.empty() && overlayWindow->WindowRect() == placedView_) return;
    OnViewMoved(false);
}

void MagnifierDisplay::OnViewMoved(bool place) {
    if (!overlayWindow) return;
    placedView_ = {};  // read back: from now on only the user's moves count
    const MonitorEntry* m = MonitorList::FromRect(overlayWindow->WindowRect());
    if (m == nullptr) {
        m = &MonitorList::First();
        overlayWindow->MoveTo(m->bounds.left, m->bounds.top, true);
    }
    const PixelRect V = editorMode ? overlayWindow->ClientRect() : overlayWindow->WindowRect();
    const ViewGeometry::Placement p = ViewGeometry::PlacementOf(m->bounds, V);
    if (p.offset == targetOffset && p.size == targetSize && m->handle == targetMonitor) return;
    targetWidthPx = V.right - V.left;
    targetHeightPx = V.bottom - V.top;
    targetOffset = p.offset;
    targetSize = p.size;
    if (m->handle != targetMonitor) {
        targetMonitor = m->handle;
        SelectTargetDisplay(m->deviceName, place);
    }
    Publish();
}

PixelRect MagnifierDisplay::SourceRect(int Wt, int Ht) {
    return ViewGeometry::SourceRect(DisplayRect(sourceIndex), sourceOffset, magnification, Wt, Ht);
}
