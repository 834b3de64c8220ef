#include "render/RenderEngine.h"

#include <QOpenGLFunctions_3_3_Core>
#include <cfloat>
#include <cstring>

#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "platform/Backend.h"
#include "platform/OverlayWindow.h"
#include "render/RenderTexture.h"
#include "render/ShaderRegistry.h"

#ifndef GL_CONTEXT_LOST
#define GL_CONTEXT_LOST 0x0507
#endif

RenderEngine::~RenderEngine() { Destroy(); }

void RenderEngine::LogFailure(const std::string& call, unsigned code) {
    LogFailureHex(LogTag::kRender, call, code);
}

void RenderEngine::CheckCall(const char* call) {
#ifndef NDEBUG
    if (const unsigned e = TakeError()) LogFailure(call, e);
#else
    (void)call;
#endif
}

unsigned RenderEngine::TakeError() {
    if (gl_ == nullptr) return 0;
    unsigned first = 0;
    // Drain the queue; a lost context may report its error forever, so the loop is bounded.
    for (int i = 0; i < 16; ++i) {
        const unsigned e = gl_->glGetError();
        if (e == GL_NO_ERROR) break;
        if (first == 0) first = e;
    }
    return first;
}

std::string RenderEngine::VersionName() const {
    return std::to_string(context_.majorVersion()) + "." + std::to_string(context_.minorVersion());
}

bool RenderEngine::EnsureContext(std::string* error) {
    if (context_.IsValid()) return true;
    for (const auto& [major, minor] : kVersions) {
        if (context_.Create(major, minor, error)) return true;
    }
    return false;
}

bool RenderEngine::ListAdapters() {
    std::string why;
    if (!platform::GlContext::Available(&why)) {
        Log() << LogError << "Loading "
              << "OpenGL" << LogEnd;
        LogFailureText(LogTag::kRender, "OpenGL loading", why);
        return false;
    }
    // The engine's own context answers who the driver is; the device is made on it afterwards.
    std::string error;
    if (!EnsureContext(&error)) {
        LogFailureText(LogTag::kRender, "QOpenGLContext::create", error);
        return false;
    }
    Log().Separator("List of graphics adapters");
    Log() << "(render)" << 0 << ": " << context_.Vendor() << " : " << context_.Renderer() << " : "
          << context_.VersionText() << LogEnd;
    platform::CallFailure failure;
    const std::vector<platform::OutputInfo> outputs = platform::Backend().Outputs(&failure);
    if (failure) ::LogFailure(LogTag::kRender, failure);
    for (const platform::OutputInfo& o : outputs) {
        Log() << "\t(" << o.bounds.left << "," << o.bounds.top << ")-(" << o.bounds.right << ","
              << o.bounds.bottom << "), \t\tname: " << o.name << (o.attached ? "" : " <DETACHED>") << LogEnd;
    }
    return true;
}

bool RenderEngine::LoadLibraries() {
    std::string why;
    if (platform::GlContext::Available(&why)) return true;
    Log() << LogError << "Cannot load OpenGL: " << why << LogEnd;
    return false;
}

bool RenderEngine::MakeCurrent() { return gl_ != nullptr && context_.MakeCurrent(); }

bool RenderEngine::CreateDevice() {
    if (gl_ != nullptr) return true;
    std::string error;
    if (!EnsureContext(&error)) {
        LogFailureText(LogTag::kRender, "QOpenGLContext::create", error);
        return false;
    }
    gl_ = context_.gl();
    Log() << "(render)"
          << "OpenGL " << VersionName() << " core: " << context_.Renderer() << LogEnd;

    defaultVertexShader_ = GetVertexShader("default");
    defaultPixelShader_ = GetPixelShader("default");

    // The textured quad: four vertices of position (4 floats) and texture coordinates (2 floats).
    quadLayout_ = GlVertexArray::Generate(gl_);
    gl_->glBindVertexArray(quadLayout_.get());
    quadVertexBuffer_ = GlBuffer::Generate(gl_);
    gl_->glBindBuffer(GL_ARRAY_BUFFER, quadVertexBuffer_.get());
    gl_->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(kQuadBufferBytes), nullptr, GL_DYNAMIC_DRAW);
    gl_->glEnableVertexAttribArray(0);
    gl_->glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 24, nullptr);
    gl_->glEnableVertexAttribArray(1);
    gl_->glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 24,
                               reinterpret_cast<const void*>(static_cast<uintptr_t>(16)));
    gl_->glBindVertexArray(0);
    if (const unsigned e = TakeError()) {
        LogFailure("vb1:CreateBuffer", e);
        return false;
    }

    auto makeSampler = [&](GlSampler& owner, GLint minFilter, GLint magFilter) {
        owner = GlSampler::Generate(gl_);
        const GLuint sampler = owner.get();
        gl_->glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minFilter);
        gl_->glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magFilter);
        gl_->glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
        gl_->glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
        gl_->glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, GL_REPEAT);
        gl_->glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, 0.0f);
        gl_->glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, -FLT_MAX);
        gl_->glSamplerParameterf(sampler, GL_TEXTURE_MAX_LOD, FLT_MAX);
        gl_->glSamplerParameteri(sampler, GL_TEXTURE_COMPARE_MODE, GL_NONE);
        const GLfloat border[4] = {1, 1, 1, 1};
        gl_->glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
        // No anisotropy: with plain linear or point filters a limit of 16 would only matter for an
        // anisotropic filter, and in OpenGL setting it would switch one on and blur the 1:1 view.
        TakeError();
    };
    // The textures have no mip levels, so the mip part of the filters is left out.
    makeSampler(linearSampler_, GL_LINEAR, GL_LINEAR);
    makeSampler(pointSampler_, GL_NEAREST, GL_NEAREST);
    return true;
}

bool RenderEngine::CreateSwapChain(platform::IOverlayWindow* window) {
    if (window == nullptr || window->Surface() == nullptr) {
        LogFailure("CreateSwapChain", GL_INVALID_VALUE);
        return false;
    }
    swapChain_ = window;
    return true;
}

bool RenderEngine::Upload(RenderTexture& texture, const void* pixels, int stride, bool opaque) {
    return UploadRect(texture, pixels, stride, 0, 0, static_cast<int>(texture.width),
                      static_cast<int>(texture.height), opaque);
}

bool RenderEngine::UploadRect(RenderTexture& texture, const void* pixels, int stride, int x, int y, int w,
                              int h, bool opaque) {
    if (gl_ == nullptr || texture.texture() == 0 || pixels == nullptr || w <= 0 || h <= 0) return false;
    gl_->glBindTexture(GL_TEXTURE_2D, texture.texture());
    gl_->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl_->glPixelStorei(GL_UNPACK_ROW_LENGTH, stride / 4);
    gl_->glPixelStorei(GL_UNPACK_SKIP_PIXELS, x);
    gl_->glPixelStorei(GL_UNPACK_SKIP_ROWS, y);
    gl_->glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
    gl_->glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    gl_->glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    gl_->glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, opaque ? GL_ONE : GL_ALPHA);
    gl_->glBindTexture(GL_TEXTURE_2D, 0);
    if (const unsigned e = TakeError()) {
        LogFailure("CopyResource", e);
        return false;
    }
    return true;
}

GlShader RenderEngine::CompileShader(unsigned stage, const char* source, const std::string& what) {
    GlShader shader(gl_, gl_->glCreateShader(stage));
    if (!shader) {
        LogFailure(what, TakeError());
        return {};
    }
    const GLuint s = shader.get();
    gl_->glShaderSource(s, 1, &source, nullptr);
    gl_->glCompileShader(s);
    GLint ok = 0;
    gl_->glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char info[1024] = {};
        gl_->glGetShaderInfoLog(s, sizeof info - 1, nullptr, info);
        LogFailureText(LogTag::kRender, what, info);
        return {};
    }
    return shader;
}

LoadedVertexShader* RenderEngine::GetVertexShader(const std::string& name) {
    if (auto it = vertexShaders_.find(name); it != vertexShaders_.end()) return &it->second;
    LoadedVertexShader loaded;
    if (const ShaderRecord* r = ShaderRegistry::Vertex(name)) {
        loaded.shader = CompileShader(GL_VERTEX_SHADER, r->source, "CreateVertexShader for " + name);
        loaded.stride = r->stride;
    } else {
        LogFailureText(LogTag::kRender, "LoadVertexShader " + name, "not in the registry");
    }
    return &(vertexShaders_[name] = std::move(loaded));
}

unsigned RenderEngine::GetPixelShader(const std::string& name) {
    if (auto it = pixelShaders_.find(name); it != pixelShaders_.end()) return it->second.get();
    GlShader shader;
    if (const ShaderRecord* r = ShaderRegistry::Pixel(name)) {
        shader = CompileShader(GL_FRAGMENT_SHADER, r->source, "LoadPixelShader for " + name);
    } else {
        LogFailureText(LogTag::kRender, "LoadPixelShader " + name, "not in the registry");
    }
    return (pixelShaders_[name] = std::move(shader)).get();
}

GlProgram RenderEngine::LinkProgram(GLuint vs, GLuint ps) {
    GlProgram program(gl_, gl_->glCreateProgram());
    if (!program) {
        LogFailure("glCreateProgram", TakeError());
        return {};
    }
    const GLuint p = program.get();
    gl_->glAttachShader(p, vs);
    gl_->glAttachShader(p, ps);
    gl_->glLinkProgram(p);
    GLint ok = 0;
    gl_->glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (!ok) {
        char info[1024] = {};
        gl_->glGetProgramInfoLog(p, sizeof info - 1, nullptr, info);
        LogFailureText(LogTag::kRender, "glLinkProgram", info);
        return {};
    }
    gl_->glUseProgram(p);
    if (const GLint image = gl_->glGetUniformLocation(p, "image0"); image >= 0) gl_->glUniform1i(image, 0);
    if (const GLuint block = gl_->glGetUniformBlockIndex(p, "maskdata"); block != GL_INVALID_INDEX) {
        gl_->glUniformBlockBinding(p, block, 0);
    }
    CheckCall("glLinkProgram");
    return program;
}

void RenderEngine::BindShaders(const LoadedVertexShader* vs, unsigned ps) {
    if (gl_ == nullptr) return;
    // A missing member unbinds the stage: nothing is drawn with it.
    if (vs == nullptr || !vs->shader || ps == 0) {
        gl_->glUseProgram(0);
        return;
    }
    const auto key = std::make_pair(vs->shader.get(), ps);
    auto it = programs_.find(key);
    if (it == programs_.end()) it = programs_.emplace(key, LinkProgram(vs->shader.get(), ps)).first;
    gl_->glUseProgram(it->second.get());
    CheckCall("BindShaders");
}

void RenderEngine::BindRasterizerState() {
    gl_->glDisable(GL_CULL_FACE);
    gl_->glFrontFace(GL_CCW);
    gl_->glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    gl_->glDisable(GL_POLYGON_OFFSET_FILL);
    gl_->glEnable(GL_DEPTH_CLAMP);  // depth clip off
    gl_->glDisable(GL_SCISSOR_TEST);
    gl_->glDisable(GL_MULTISAMPLE);
    gl_->glEnable(GL_LINE_SMOOTH);
    CheckCall("BindRasterizerState");
}

void RenderEngine::BindDepthStencilState() {
    gl_->glDisable(GL_DEPTH_TEST);
    gl_->glDepthMask(GL_FALSE);
    gl_->glDepthFunc(GL_ALWAYS);
    gl_->glDisable(GL_STENCIL_TEST);
    CheckCall("BindDepthStencilState");
}

void RenderEngine::BindOpaqueBlendState() {
    gl_->glDisable(GL_BLEND);
    gl_->glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    CheckCall("BindOpaqueBlendState");
}

void RenderEngine::BindLinearSampler(int slot) {
    gl_->glBindSampler(static_cast<GLuint>(slot), linearSampler_.get());
}
void RenderEngine::BindPointSampler(int slot) {
    gl_->glBindSampler(static_cast<GLuint>(slot), pointSampler_.get());
}

void RenderEngine::BindTexture(int slot, const RenderTexture* texture) {
    gl_->glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(slot));
    gl_->glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->texture() : 0);
    CheckCall("BindTexture");
}

void RenderEngine::SetRenderTarget(RenderTexture* target) {
    if (gl_ == nullptr) return;
    if (target == nullptr) {
        gl_->glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return;
    }
    if (target->window() != nullptr) {
        // A window's back buffer: the context draws into that window's surface.
        context_.MakeCurrent(target->window()->Surface());
        gl_->glBindFramebuffer(GL_FRAMEBUFFER, 0);
    } else {
        gl_->glBindFramebuffer(GL_FRAMEBUFFER, target->framebuffer());
    }
    viewport_[0] = 0, viewport_[1] = 0;
    viewport_[2] = static_cast<float>(target->width), viewport_[3] = static_cast<float>(target->height);
    viewport_[4] = 0, viewport_[5] = 1;
    const auto w = static_cast<GLsizei>(target->width), h = static_cast<GLsizei>(target->height);
    gl_->glViewport(0, 0, w, h);
    gl_->glScissor(0, 0, w, h);
    gl_->glDepthRange(0.0, 1.0);
    CheckCall("SetRenderTarget");
}

void RenderEngine::Clear(RenderTexture* target, float r, float g, float b, float a) {
    if (gl_ == nullptr || target == nullptr) return;
    SetRenderTarget(target);
    gl_->glClearColor(r, g, b, a);
    gl_->glClear(GL_COLOR_BUFFER_BIT);
    SetRenderTarget(nullptr);
    CheckCall("Clear");
}

void RenderEngine::DrawQuad(PointF tl, PointF br, PointF uvTl, PointF uvBr) {
    if (gl_ == nullptr) return;
    const float w = viewport_[2] > 0 ? viewport_[2] : 1, h = viewport_[3] > 0 ? viewport_[3] : 1;
    auto x = [w](float px) { return 2 * px / w - 1; };
    auto y = [h](float py) { return 1 - 2 * py / h; };
    const float vertices[4][6] = {
        {x(tl.x), y(tl.y), 0, 1, uvTl.x, uvTl.y},
        {x(br.x), y(tl.y), 0, 1, uvBr.x, uvTl.y},
        {x(tl.x), y(br.y), 0, 1, uvTl.x, uvBr.y},
        {x(br.x), y(br.y), 0, 1, uvBr.x, uvBr.y},
    };
    static_assert(sizeof vertices == kQuadBufferBytes);
    gl_->glBindVertexArray(quadLayout_.get());
    gl_->glBindBuffer(GL_ARRAY_BUFFER, quadVertexBuffer_.get());
    void* p = gl_->glMapBufferRange(GL_ARRAY_BUFFER, 0, kQuadBufferBytes,
                                    GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT);
    if (p == nullptr) {
        LogFailure("QuadVB map", TakeError());
        return;
    }
    std::memcpy(p, vertices, sizeof vertices);
    gl_->glUnmapBuffer(GL_ARRAY_BUFFER);
    CheckCall("DrawQuad");
}

void RenderEngine::Draw(int vertexCount) {
    if (gl_ == nullptr) return;
    gl_->glBindVertexArray(quadLayout_.get());
    gl_->glDrawArrays(GL_TRIANGLE_STRIP, 0, vertexCount);
    CheckCall("Draw");
}

bool RenderEngine::PresentToWindow(const RenderTexture& texture, platform::IOverlayWindow& window,
                                   unsigned char alpha) {
    if (gl_ == nullptr || texture.texture() == 0) return false;
    QSurface* surface = window.Surface();
    if (surface == nullptr || !context_.MakeCurrent(surface)) {
        if (!presentFailed_) LogFailure("UpdateLayered makeCurrent", TakeError());
        presentFailed_ = true;  // once per failing stretch, not every frame
        context_.MakeCurrent();
        return false;
    }
    presentFailed_ = false;
    gl_->glBindFramebuffer(GL_FRAMEBUFFER, 0);
    viewport_[2] = static_cast<float>(texture.width), viewport_[3] = static_cast<float>(texture.height);
    gl_->glViewport(0, 0, static_cast<GLsizei>(texture.width), static_cast<GLsizei>(texture.height));
    gl_->glDisable(GL_SCISSOR_TEST);
    gl_->glClearColor(0, 0, 0, 0);
    gl_->glClear(GL_COLOR_BUFFER_BIT);
    // Constant alpha over a premultiplied image: every channel times alpha.
    gl_->glEnable(GL_BLEND);
    gl_->glBlendColor(0, 0, 0, static_cast<float>(alpha) / 255.0f);
    gl_->glBlendFunc(GL_CONSTANT_ALPHA, GL_ZERO);
    BindShaders(defaultVertexShader_, defaultPixelShader_);
    BindTexture(0, &texture);
    BindPointSampler(0);
    // The texture holds its rows bottom first: flip it onto the window.
    DrawQuad({0, 0}, {viewport_[2], viewport_[3]}, {0, 1}, {1, 0});
    Draw(4);
    BindTexture(0, nullptr);
    gl_->glDisable(GL_BLEND);
    context_.SwapBuffers(surface);
    context_.MakeCurrent();
    return true;
}

void RenderEngine::Present() {
    platform::IOverlayWindow* w = swapChain();
    if (w != nullptr && w->Surface() != nullptr) {
        context_.SwapBuffers(w->Surface());
        context_.MakeCurrent();
    }
}

std::vector<unsigned char> RenderEngine::ReadPixels(const RenderTexture& target) {
    std::vector<unsigned char> rows;
    if (gl_ == nullptr || target.framebuffer() == 0) return rows;
    const size_t w = target.width, h = target.height;
    std::vector<unsigned char> bottomUp(w * h * 4);
    gl_->glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer());
    gl_->glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl_->glReadPixels(0, 0, static_cast<GLsizei>(w), static_cast<GLsizei>(h), GL_RGBA, GL_UNSIGNED_BYTE,
                      bottomUp.data());
    gl_->glBindFramebuffer(GL_FRAMEBUFFER, 0);
    rows.resize(bottomUp.size());
    for (size_t y = 0; y < h; ++y) std::memcpy(&rows[y * w * 4], &bottomUp[(h - 1 - y) * w * 4], w * 4);
    return rows;
}

void RenderEngine::Destroy() {
    if (gl_ == nullptr) return;
    if (context_.MakeCurrent()) {
        gl_->glUseProgram(0);
        gl_->glBindVertexArray(0);
        gl_->glBindFramebuffer(GL_FRAMEBUFFER, 0);
        // In reverse order of making: programs before their shaders, the layout before its buffer.
        programs_.clear();
        pixelShaders_.clear();
        vertexShaders_.clear();
        defaultVertexShader_ = nullptr;
        defaultPixelShader_ = 0;
        quadLayout_.reset();
        quadVertexBuffer_.reset();
        pointSampler_.reset();
        linearSampler_.reset();
    } else {
        // Without the context its objects cannot be deleted; they go with it.
        for (auto& [key, program] : programs_) program.Abandon();
        for (auto& [name, shader] : pixelShaders_) shader.Abandon();
        for (auto& [name, shader] : vertexShaders_) shader.shader.Abandon();
        programs_.clear();
        pixelShaders_.clear();
        vertexShaders_.clear();
        defaultVertexShader_ = nullptr;
        defaultPixelShader_ = 0;
        for (GlSampler* sampler : {&pointSampler_, &linearSampler_}) sampler->Abandon();
        quadLayout_.Abandon();
        quadVertexBuffer_.Abandon();
    }
    swapChain_ = nullptr;
    context_.DoneCurrent();
    gl_ = nullptr;
}
