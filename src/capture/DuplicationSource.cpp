#include "capture/DuplicationSource.h"

#include <algorithm>

#include "capture/HRError.h"
#include "log/IDebugPrint.h"
#include "platform/Monitors.h"
#include "platform/ScreenGrabber.h"
#include "render/RenderEngine.h"

DuplicationSource::DuplicationSource(RenderEngine& e, uint64_t monitor) : engine(e) {
    // The monitors as the X server has them now, as the output search of a live desktop would.
    const platform::MonitorInfo* found = nullptr;
    const std::vector<platform::MonitorInfo> monitors = platform::EnumerateMonitors();
    for (const platform::MonitorInfo& m : monitors) {
        if (m.handle == monitor) found = &m;
    }
    if (found == nullptr) throw std::runtime_error("Invalid monitor handle");
    std::string failedCall;
    int code = 0;
    bounds_ = found->bounds;
    duplication_ = platform::ScreenGrabber::Create(found->bounds, &failedCall, &code);
    if (!duplication_) throw HRError("Failed to " + failedCall, static_cast<unsigned>(code));
    UpdateFrame();
}

DuplicationSource::~DuplicationSource() = default;

void DuplicationSource::SetIgnoredAreas(std::vector<platform::PixelRect> areas) {
    if (areas == ignored_) return;
    ignored_ = areas;
    if (duplication_) duplication_->SetIgnoredAreas(std::move(areas));
}

std::vector<platform::PixelRect> DuplicationSource::PartsOutside(int width, int height,
                                                                const std::vector<platform::PixelRect>& holes) {
    // Split the frame into horizontal bands at every hole's top and bottom; in each band, the spans
    // between the holes that cross it.
    std::vector<int> cuts{0, height};
    const platform::PixelRect frame{0, 0, width, height};
    std::vector<platform::PixelRect> clipped;
    for (const platform::PixelRect& h : holes) {
        const platform::PixelRect c = h.Intersect(frame);
        if (c.empty()) continue;
        clipped.push_back(c);
        cuts.push_back(c.top);
        cuts.push_back(c.bottom);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    std::vector<platform::PixelRect> parts;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const int top = cuts[i], bottom = cuts[i + 1];
        std::vector<std::pair<int, int>> blocked;
        for (const platform::PixelRect& c : clipped) {
            if (c.top <= top && c.bottom >= bottom) blocked.emplace_back(c.left, c.right);
        }
        std::sort(blocked.begin(), blocked.end());
        int x = 0;
        for (const auto& [l, r] : blocked) {
            if (l > x) parts.push_back({x, top, l, bottom});
            x = std::max(x, r);
        }
        if (x < width) parts.push_back({x, top, width, bottom});
    }
    return parts;
}

bool DuplicationSource::UpdateFrame() {
    if (!duplication_) return false;
    switch (duplication_->Grab()) {
        case platform::ScreenGrabber::Result::AccessLost:
            return false;
        case platform::ScreenGrabber::Result::NoChange:
            return true;  // the previous copy is drawn again
        case platform::ScreenGrabber::Result::Failed:
            return true;  // the grabber has logged the failing call; the last copy stays on screen
        case platform::ScreenGrabber::Result::NewFrame:
            break;
    }
    const auto w = static_cast<uint32_t>(duplication_->width()), h = static_cast<uint32_t>(duplication_->height());
    bool whole = false;
    if (!frameCopy || frameCopy->width != w || frameCopy->height != h) {
        frameCopy = std::make_unique<RenderTexture>(&engine);
        if (!frameCopy->Resize(w, h)) return true;  // composition skips a copy without texture
        whole = true;
    }
    // Screen images have no alpha of their own: they are opaque. X11 cannot leave a window out of a
    // copy of the screen, so what lies under the program's own windows keeps the last copy taken
    // without them.
    std::vector<platform::PixelRect> holes;
    if (!whole) {
        for (const platform::PixelRect& r : ignored_) {
            holes.push_back({r.left - bounds_.left, r.top - bounds_.top, r.right - bounds_.left, r.bottom - bounds_.top});
        }
    }
    for (const platform::PixelRect& p : PartsOutside(static_cast<int>(w), static_cast<int>(h), holes)) {
        engine.UploadRect(*frameCopy, duplication_->pixels(), duplication_->stride(), p.left, p.top, p.width(),
                          p.height(), true);
    }
    return true;
}

void ReleaseSource(std::unique_ptr<DuplicationSource>& source) { source.reset(); }
