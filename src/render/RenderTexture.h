#pragma once
// A 2D texture with a framebuffer for drawing into it. Over a window's surface it stands for that
// window's back buffer. Render thread only.

#include <cstdint>
#include <memory>

#include "render/GlObject.h"

namespace platform {
class IOverlayWindow;
}
class RenderEngine;

class RenderTexture {
public:
    // An empty texture of the engine; Resize gives it its pixels.
    explicit RenderTexture(RenderEngine* engine) : engine_(engine) {}
    // The back buffer of the engine's editor-mode window, frame included; null when the engine has none.
    static std::unique_ptr<RenderTexture> WindowBuffer(RenderEngine* engine);
    RenderTexture(const RenderTexture&) = delete;
    RenderTexture& operator=(const RenderTexture&) = delete;
    ~RenderTexture();

    // Makes the texture width x height; nothing when that is what it is. False (logged) on failure.
    bool Resize(uint32_t width, uint32_t height);
    void Release();

    bool HasTexture() const { return texture_ || window_ != nullptr; }
    // What shaders sample; 0 for a window's buffer.
    GLuint texture() const { return texture_.get(); }
    // Where drawing goes: 0 for a window's own buffer.
    GLuint framebuffer() const { return framebuffer_.get(); }
    platform::IOverlayWindow* window() const { return window_; }

    uint32_t width = 0, height = 0;

private:
    bool CreateFramebuffer();

    RenderEngine* engine_ = nullptr;
    GlTexture texture_;
    GlFramebuffer framebuffer_;
    platform::IOverlayWindow* window_ = nullptr;  // set for a window's back buffer
};
