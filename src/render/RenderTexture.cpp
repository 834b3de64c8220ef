#include "render/RenderTexture.h"

#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "platform/OverlayWindow.h"
#include "platform/qt/MessageBox.h"
#include "render/RenderEngine.h"

namespace {

void LogTextureFailure(const char* what, const RenderTexture& t, unsigned code) {
    LogFailureHex(LogTag::kRender, what + std::to_string(t.width) + " x " + std::to_string(t.height), code);
}

}  // namespace

std::unique_ptr<RenderTexture> RenderTexture::WindowBuffer(RenderEngine* engine) {
    if (engine == nullptr || engine->swapChain() == nullptr) return nullptr;
    auto t = std::make_unique<RenderTexture>(engine);
    t->window_ = engine->swapChain();
    const platform::PixelRect r = t->window_->WindowRect();  // the whole surface, frame included
    t->width = static_cast<uint32_t>(r.width() > 0 ? r.width() : 0);
    t->height = static_cast<uint32_t>(r.height() > 0 ? r.height() : 0);
    return t;
}

RenderTexture::~RenderTexture() { Release(); }

void RenderTexture::Release() {
    framebuffer_.reset();
    texture_.reset();
}

bool RenderTexture::Resize(uint32_t w, uint32_t h) {
    if (w == width && h == height && HasTexture()) return true;
    if (window_ != nullptr) {
        width = w, height = h;  // the window's surface follows the window
        return true;
    }
    QOpenGLFunctions_3_3_Core* gl = engine_ != nullptr ? engine_->gl() : nullptr;
    if (gl == nullptr) return false;
    Release();
    width = w, height = h;
    texture_ = GlTexture::Generate(gl);
    gl->glBindTexture(GL_TEXTURE_2D, texture_.get());
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
    gl->glBindTexture(GL_TEXTURE_2D, 0);
    const unsigned error = engine_->TakeError();
    if (error != 0 || engine_->DeviceLost() || w == 0 || h == 0) {
        if (engine_->DeviceLost()) {
            // Handed to the UI thread: the render thread never waits for a box.
            platform::ShowMessageBoxLater(u"Unrecoverable error occurred.\n\nPlease restart the application",
                                          u"Lentora", platform::MessageIcon::Error);
            Log() << LogError << "(render)"
                  << " got DeviceRemoved: " << LogHex << error << LogEnd;
        }
        LogTextureFailure("CreateTexture2D for ", *this, error != 0 ? error : GL_INVALID_VALUE);
        texture_.reset();
        return false;
    }
    return CreateFramebuffer();
}

bool RenderTexture::CreateFramebuffer() {
    QOpenGLFunctions_3_3_Core* gl = engine_->gl();
    framebuffer_ = GlFramebuffer::Generate(gl);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.get());
    gl->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_.get(), 0);
    const GLenum status = gl->glCheckFramebufferStatus(GL_FRAMEBUFFER);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        LogTextureFailure("CreateRenderTargetView for ", *this, status);
        framebuffer_.reset();
        return false;
    }
    return true;
}
