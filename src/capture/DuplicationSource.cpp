#include "capture/DuplicationSource.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "capture/HRError.h"
#include "log/IDebugPrint.h"
#include "platform/Backend.h"
#include "platform/PixelRectParts.h"
#include "render/RenderEngine.h"

DuplicationSource::DuplicationSource(RenderEngine& e, uint64_t monitor) : engine(e) {
    // The monitors as the desktop has them now, as the output search of a live desktop would.
    platform::IBackend& backend = platform::Backend();
    platform::CallFailure failure;
    const std::vector<platform::MonitorInfo> monitors = backend.Monitors(&failure);
    const platform::MonitorInfo* found = nullptr;
    for (const platform::MonitorInfo& m : monitors) {
        if (m.handle == monitor) found = &m;
    }
    if (found == nullptr) {
        if (failure) throw HRError("Failed to " + failure.call, static_cast<unsigned>(failure.code));
        throw std::runtime_error("Invalid monitor handle");
    }
    bounds_ = found->bounds;
    duplication_ = backend.OpenScreenCopy(found->bounds, &failure);
    if (!duplication_) throw HRError("Failed to " + failure.call, static_cast<unsigned>(failure.code));
    if (const platform::CallFailure why = duplication_->FallbackReason()) {
        // Said once a run: every later source falls back the same way.
        static std::atomic<bool> told{false};
        if (!told.exchange(true)) {
            LogFailure(LogTag::kCapture, why);
            Log() << LogTag::kCapture
                  << "The screen is copied as shown: what lies under the view keeps the picture "
                  << "from before the view appeared" << LogEnd;
        }
    }
    UpdateFrame();
}

DuplicationSource::~DuplicationSource() = default;

void DuplicationSource::SetOwnWindows(std::vector<uint64_t> ids) {
    if (duplication_) duplication_->SetOwnWindows(std::move(ids));
}

void DuplicationSource::SetIgnoredAreas(std::vector<platform::PixelRect> areas) {
    if (areas == ignored_) return;
    ignored_ = areas;
    if (duplication_) duplication_->SetIgnoredAreas(std::move(areas));
}

void DuplicationSource::SetSourceRect(const platform::PixelRect& rect) {
    if (rect == sourceRect_ || !duplication_) return;
    sourceRect_ = rect;
    std::vector<platform::PixelRect> watched;
    if (!rect.empty()) {
        const platform::PixelRect grown{rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1};
        for (const platform::PixelRect& p :
             platform::WrappedParts(grown, bounds_.width(), bounds_.height())) {
            watched.push_back(
                {p.left + bounds_.left, p.top + bounds_.top, p.right + bounds_.left, p.bottom + bounds_.top});
        }
    }
    duplication_->SetWatchedAreas(std::move(watched));
}

int DuplicationSource::EventFd() const { return duplication_ ? duplication_->EventFd() : -1; }
bool DuplicationSource::ReadyToWait() { return !duplication_ || duplication_->ReadyToWait(); }

std::vector<platform::PixelRect> DuplicationSource::PartsOutside(
    int width, int height, const std::vector<platform::PixelRect>& holes) {
    return platform::PartsOutside(width, height, holes);
}

DuplicationSource::Update DuplicationSource::NextUpdate(uint32_t textureWidth, uint32_t textureHeight) {
    Update u;
    if (!duplication_) {
        u.skip = true;
        return u;
    }
    switch (duplication_->Grab()) {
        case platform::IScreenCopy::Result::AccessLost:
            if (!accessLostLogged_) {
                Log() << LogTag::kCapture << "Screen configuration changed: the copy of the display stops"
                      << LogEnd;
                accessLostLogged_ = true;
            }
            u.skip = true;
            return u;
        case platform::IScreenCopy::Result::NoChange:
            copyFailures_.Succeeded();
            return u;  // the previous copy is drawn again
        case platform::IScreenCopy::Result::Failed:
            // The last copy stays on screen; the failure is written once until a copy succeeds again.
            copyFailures_.Failed(LogTag::kCapture, duplication_->TakeFailure());
            return u;
        case platform::IScreenCopy::Result::NewFrame:
            copyFailures_.Succeeded();
            break;
    }
    const auto w = static_cast<uint32_t>(duplication_->width()),
               h = static_cast<uint32_t>(duplication_->height());
    u.whole = textureWidth != w || textureHeight != h;
    // Screen images have no alpha of their own: they are opaque. A copy of the screen as shown cannot
    // leave a window out, so what lies under the program's own windows keeps the last copy taken
    // without them. A new texture takes the whole copy.
    if (u.whole) {
        u.parts = {{0, 0, static_cast<int>(w), static_cast<int>(h)}};
        return u;
    }
    std::vector<platform::PixelRect> holes;
    if (!duplication_->SeesUnderOwnWindows()) {
        for (const platform::PixelRect& r : ignored_) {
            holes.push_back(
                {r.left - bounds_.left, r.top - bounds_.top, r.right - bounds_.left, r.bottom - bounds_.top});
        }
    }
    for (const platform::PixelRect& changed : duplication_->changedParts()) {
        for (const platform::PixelRect& p : platform::PartsOutside(changed, holes)) u.parts.push_back(p);
    }
    return u;
}

bool DuplicationSource::UpdateFrame() {
    const uint32_t tw = frameCopy ? frameCopy->width : 0, th = frameCopy ? frameCopy->height : 0;
    const Update u = NextUpdate(frameCopy && frameCopy->HasTexture() ? tw : 0,
                                frameCopy && frameCopy->HasTexture() ? th : 0);
    changed_ = !u.skip && !u.parts.empty();
    if (u.skip) return false;
    if (u.parts.empty()) return true;
    if (u.whole) {
        frameCopy = std::make_unique<RenderTexture>(&engine);
        if (!frameCopy->Resize(static_cast<uint32_t>(duplication_->width()),
                               static_cast<uint32_t>(duplication_->height()))) {
            return true;  // composition skips a copy without texture
        }
    }
    for (const platform::PixelRect& p : u.parts) {
        engine.UploadRect(*frameCopy, duplication_->pixels(), duplication_->stride(), p.left, p.top,
                          p.width(), p.height(), true);
    }
    return true;
}
