#pragma once
// The render engine: the OpenGL context (the device), fixed pipeline states, shaders by name and the
// textured-quad buffer. Everything here runs with the context current, on the render thread; only
// construction and PrepareSurface happen on the UI thread, before that thread starts.

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/qt/GlContext.h"
#include "render/GlObject.h"

namespace platform {
class IOverlayWindow;
}
class RenderTexture;
class QOpenGLFunctions_3_3_Core;

struct LoadedVertexShader {
    GlShader shader;
    int stride = 0;  // of the vertex format its input layout expects
};

struct PointF {
    float x = 0, y = 0;
};

class RenderEngine {
public:
    // OpenGL versions tried in order, the highest first; the first context made wins.
    static constexpr std::pair<int, int> kVersions[] = {{4, 6}, {4, 5}, {4, 3}, {4, 1}, {3, 3}};
    static constexpr size_t kQuadBufferBytes = 96;

    RenderEngine() = default;
    RenderEngine(const RenderEngine&) = delete;
    RenderEngine& operator=(const RenderEngine&) = delete;
    ~RenderEngine();

    // The offscreen surface the context draws with; made on the UI thread before the render thread starts.
    void PrepareSurface() { context_.PrepareSurface(); }
    // The renderer and the displays in the log; false when no OpenGL context can be made to ask.
    bool ListAdapters();
    // Whether OpenGL can be had here at all.
    bool LoadLibraries();
    // Context, states, the quad buffer, the "default" shaders; true at once when there is a context.
    bool CreateDevice();
    // Makes a window the target of editor mode: drawing goes straight into its surface.
    bool CreateSwapChain(platform::IOverlayWindow* window);
    // Forgets the window; drawing goes offscreen again.
    void ReleaseSwapChain() { swapChain_ = nullptr; }
    platform::IOverlayWindow* swapChain() const { return swapChain_; }

    LoadedVertexShader* GetVertexShader(const std::string& name);
    unsigned GetPixelShader(const std::string& name);
    // Binds a vertex and a pixel shader (a program linked from the pair, made once).
    void BindShaders(const LoadedVertexShader* vs, unsigned ps);

    // Binds the fixed states.
    void BindRasterizerState();
    void BindDepthStencilState();
    void BindOpaqueBlendState();
    void BindLinearSampler(int slot);
    void BindPointSampler(int slot);
    void BindTexture(int slot, const RenderTexture* texture);

    // Viewport (and scissor rectangle) to the whole target, which becomes the only render target;
    // null unbinds the target and keeps the viewport.
    void SetRenderTarget(RenderTexture* target);
    void Clear(RenderTexture* target, float r, float g, float b, float a);
    // Writes B, G, R, A rows (stride bytes apart) into the whole texture; opaque makes its alpha 1
    // whatever the fourth bytes say.
    bool Upload(RenderTexture& texture, const void* pixels, int stride, bool opaque);
    // The same for one rectangle of the texture (x, y from its top-left), taken from the same place of
    // the source rows.
    bool UploadRect(RenderTexture& texture, const void* pixels, int stride, int x, int y, int w, int h,
                    bool opaque);
    // Fills the quad buffer with the corners in pixels of the viewport and binds it as a triangle strip.
    void DrawQuad(PointF topLeft, PointF bottomRight, PointF uvTopLeft, PointF uvBottomRight);
    void Draw(int vertexCount);

    // Shows a premultiplied texture in a window's surface with a constant alpha, and swaps.
    bool PresentToWindow(const RenderTexture& texture, platform::IOverlayWindow& window, unsigned char alpha);
    // Shows the swap chain window's back buffer.
    void Present();
    // The target's pixels as RGBA rows from the top; for tests and measurements.
    std::vector<unsigned char> ReadPixels(const RenderTexture& target);

    void Destroy();

    bool HasDevice() const { return gl_ != nullptr; }
    bool MakeCurrent();
    // True when the driver reports the context lost; a lost context is not made again.
    bool DeviceLost() const { return context_.Lost(); }
    QOpenGLFunctions_3_3_Core* gl() const { return gl_; }
    const float* viewport() const { return viewport_; }
    std::string VersionName() const;

    // Logs a failed call in the engine's form: "(render)" "[Error] " call " : " code (hexadecimal).
    static void LogFailure(const std::string& call, unsigned code);
    // The pending GL error, 0 when none; also notices a lost context.
    unsigned TakeError();

private:
    bool EnsureContext(std::string* error);
    GlProgram LinkProgram(GLuint vs, GLuint ps);
    GlShader CompileShader(unsigned stage, const char* source, const std::string& what);
    // In debug builds: logs the GL error a call left, with the call's name.
    void CheckCall(const char* call);

    platform::GlContext context_;
    QOpenGLFunctions_3_3_Core* gl_ = nullptr;
    platform::IOverlayWindow* swapChain_ = nullptr;  // the editor-mode window, not owned
    float viewport_[6] = {0, 0, 0, 0, 0, 1};
    // Freed in reverse order of declaration, with the context current (Destroy).
    GlSampler linearSampler_, pointSampler_;
    std::map<std::string, LoadedVertexShader> vertexShaders_;
    std::map<std::string, GlShader> pixelShaders_;
    std::map<std::pair<GLuint, GLuint>, GlProgram> programs_;
    GlBuffer quadVertexBuffer_;
    GlVertexArray quadLayout_;
    LoadedVertexShader* defaultVertexShader_ = nullptr;
    GLuint defaultPixelShader_ = 0;
    bool presentFailed_ = false;
};
