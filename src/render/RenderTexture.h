#pragma once
// A 2D texture with its views: the texture itself for sampling, a framebuffer for drawing into it.
// Over a window's surface it stands for that window's back buffer. Render thread only.

#include <cstdint>

namespace platform {
class IOverlayWindow;
}
class RenderEngine;

class RenderTexture {
public:
    enum BindFlags : uint32_t { kShaderResource = 0x8, kRenderTarget = 0x20 };
    enum MiscFlags : uint32_t { kGenerateMips = 0x1, kGdiCompatible = 0x200 };
    enum Format : uint32_t { kFormatRGBA8 = 28, kFormatBGRA8 = 87 };

    RenderTexture(RenderEngine* engine, uint32_t bindFlags, uint32_t cpuAccessFlags, uint32_t miscFlags,
                  uint32_t format);
    // The back buffer of the engine's swap chain window; empty when the engine has none.
    explicit RenderTexture(RenderEngine* engine);
    RenderTexture(const RenderTexture&) = delete;
    RenderTexture& operator=(const RenderTexture&) = delete;
    ~RenderTexture();

    // Makes the texture width x height (format 0 keeps the current one); nothing when that is what it is.
    bool Resize(uint32_t width, uint32_t height, uint32_t format = 0);
    bool CreateViews();
    void Release();

    bool HasTexture() const { return texture != 0 || window != nullptr; }

    uint8_t external = 0;
    uint32_t width = 0, height = 0;
    unsigned texture = 0;     // GL texture name; also what shaders sample
    unsigned targetView = 0;  // GL framebuffer name; 0 with window set means the window's own
    uint32_t bindFlags = 0, cpuAccessFlags = 0, miscFlags = 0, format = kFormatBGRA8;
    RenderEngine* engine = nullptr;
    platform::IOverlayWindow* window = nullptr;  // set for a window's back buffer
};
