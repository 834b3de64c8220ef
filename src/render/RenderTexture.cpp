#include "render/RenderTexture.h"

#include <QOpenGLFunctions_3_3_Core>

#include "log/IDebugPrint.h"
#include "platform/MessageBox.h"
#include "platform/OverlayWindow.h"
#include "render/RenderEngine.h"

namespace {

void LogTextureFailure(const char* what, const RenderTexture& t, unsigned code) {
    Log() << "(render)" << "[Error] " << what << t.width << " x " << t.height << ", bind:" << LogHex << t.bindFlags
          << ", cpuaccess:" << t.cpuAccessFlags << " " << " : " << code << LogEnd;
}

}  // namespace

RenderTexture::RenderTexture(RenderEngine* e, uint32_t bind, uint32_t cpu, uint32_t misc, uint32_t f)
    : bindFlags(bind), cpuAccessFlags(cpu), miscFlags(misc), format(f), engine(e) {}

RenderTexture::RenderTexture(RenderEngine* e) : engine(e) {
    if (e == nullptr || e->swapChain() == nullptr) return;
    window = e->swapChain();
    const platform::PixelRect r = window->ClientRect();
    width = static_cast<uint32_t>(r.width() > 0 ? r.width() : 0);
    height = static_cast<uint32_t>(r.height() > 0 ? r.height() : 0);
    bindFlags = kRenderTarget;
    format = kFormatRGBA8;
}

RenderTexture::~RenderTexture() { Release(); }

void RenderTexture::Release() {
    if (window != nullptr) return;  // a window's buffer belongs to the window
    QOpenGLFunctions_3_3_Core* gl = engine != nullptr ? engine->gl() : nullptr;
    if (gl == nullptr) return;
    if (targetView != 0) gl->glDeleteFramebuffers(1, &targetView);
    if (texture != 0 && !external) gl->glDeleteTextures(1, &texture);
    targetView = 0;
    texture = 0;
}

bool RenderTexture::Resize(uint32_t w, uint32_t h, uint32_t f) {
    if (w == width && h == height && (f == 0 || f == format) && (texture != 0 || window != nullptr)) return true;
    if (window != nullptr) {
        width = w, height = h;  // the window's surface follows the window
        return true;
    }
    QOpenGLFunctions_3_3_Core* gl = engine != nullptr ? engine->gl() : nullptr;
    if (gl == nullptr) return false;
    Release();
    width = w, height = h;
    if (f != 0) format = f;
    gl->glGenTextures(1, &texture);
    gl->glBindTexture(GL_TEXTURE_2D, texture);
    const GLint levels = (miscFlags & kGenerateMips) ? 0 : 1;
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels == 0 ? 1000 : 0);
    gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
    gl->glBindTexture(GL_TEXTURE_2D, 0);
    const unsigned error = engine->TakeError();
    if (error != 0 || engine->DeviceLost() || w == 0 || h == 0) {
        if (engine->DeviceLost()) {
            platform::ShowMessageBox(u"Unrecoverable error occurred.\n\nPlease restart the application", u"Lentora",
                                     platform::MessageIcon::Error);
            Log() << LogError << "(render)" << " got DeviceRemoved: " << LogHex << error << LogEnd;
        }
        LogTextureFailure("CreateTexture2D for ", *this, error != 0 ? error : GL_INVALID_VALUE);
        gl->glDeleteTextures(1, &texture);
        texture = 0;
        return false;
    }
    return CreateViews();
}

bool RenderTexture::CreateViews() {
    if (window != nullptr) return true;
    QOpenGLFunctions_3_3_Core* gl = engine != nullptr ? engine->gl() : nullptr;
    if (gl == nullptr || texture == 0) return false;
    // Sampling needs no view of its own in OpenGL; drawing needs a framebuffer.
    if (bindFlags & kRenderTarget) {
        if (targetView != 0) gl->glDeleteFramebuffers(1, &targetView);
        gl->glGenFramebuffers(1, &targetView);
        gl->glBindFramebuffer(GL_FRAMEBUFFER, targetView);
        gl->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
        const GLenum status = gl->glCheckFramebufferStatus(GL_FRAMEBUFFER);
        gl->glBindFramebuffer(GL_FRAMEBUFFER, 0);
        if (status != GL_FRAMEBUFFER_COMPLETE) {
            LogTextureFailure("CreateRenderTargetView for ", *this, status);
            gl->glDeleteFramebuffers(1, &targetView);
            targetView = 0;
            return false;
        }
    }
    return true;
}
