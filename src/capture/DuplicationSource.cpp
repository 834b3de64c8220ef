#include "capture/DuplicationSource.h"

#include <QOpenGLFunctions_3_3_Core>

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
    duplication_ = platform::ScreenGrabber::Create(found->bounds, &failedCall, &code);
    if (!duplication_) throw HRError("Failed to " + failedCall, static_cast<unsigned>(code));
    UpdateFrame();
}

DuplicationSource::~DuplicationSource() = default;

void DuplicationSource::SetIgnoredAreas(std::vector<platform::PixelRect> areas) {
    if (duplication_) duplication_->SetIgnoredAreas(std::move(areas));
}

bool DuplicationSource::UpdateFrame() {
    if (!duplication_) return false;
    switch (duplication_->Grab()) {
        case platform::ScreenGrabber::Result::AccessLost:
            return false;
        case platform::ScreenGrabber::Result::NoChange:
            return true;  // the previous copy is drawn again
        case platform::ScreenGrabber::Result::Failed:
            Log() << "[DXGI]" << "[Error] " << "UpdateFrame" << " : " << LogHex << 1u << LogEnd;
            return true;
        case platform::ScreenGrabber::Result::NewFrame:
            break;
    }
    const auto w = static_cast<uint32_t>(duplication_->width()), h = static_cast<uint32_t>(duplication_->height());
    if (!frameCopy || frameCopy->width != w || frameCopy->height != h) {
        frameCopy = std::make_unique<RenderTexture>(&engine, RenderTexture::kShaderResource | RenderTexture::kRenderTarget,
                                                    0, 0, RenderTexture::kFormatBGRA8);
        if (!frameCopy->Resize(w, h)) return true;  // composition skips a copy without texture
    }
    QOpenGLFunctions_3_3_Core* gl = engine.gl();
    if (gl == nullptr || frameCopy->texture == 0) return true;
    gl->glBindTexture(GL_TEXTURE_2D, frameCopy->texture);
    gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl->glPixelStorei(GL_UNPACK_ROW_LENGTH, duplication_->stride() / 4);
    gl->glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(w), static_cast<GLsizei>(h), GL_BGRA,
                        GL_UNSIGNED_INT_8_8_8_8_REV, duplication_->pixels());
    gl->glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // Screen images have no alpha of their own: they are opaque.
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    gl->glBindTexture(GL_TEXTURE_2D, 0);
    if (const unsigned e = engine.TakeError()) RenderEngine::LogFailure("CopyResource", e);
    return true;
}

void ReleaseSource(std::unique_ptr<DuplicationSource>& source) { source.reset(); }
