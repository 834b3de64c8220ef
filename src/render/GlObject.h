#pragma once
// A move-only owner of one OpenGL object name, deleted with the functions of the context that made it.
// The context must be current on the calling thread when the owner is reset or destroyed (the render
// thread, which frees everything before its context goes).

#include <QOpenGLFunctions_3_3_Core>
#include <utility>

enum class GlKind { Texture, Framebuffer, Buffer, VertexArray, Sampler, Shader, Program };

template <GlKind Kind>
class GlObject {
public:
    GlObject() = default;
    GlObject(QOpenGLFunctions_3_3_Core* gl, GLuint name) : gl_(gl), name_(name) {}
    // A new name from glGen* (glCreate* for shaders and programs take their own constructor call).
    static GlObject Generate(QOpenGLFunctions_3_3_Core* gl) {
        GLuint name = 0;
        if constexpr (Kind == GlKind::Texture) gl->glGenTextures(1, &name);
        if constexpr (Kind == GlKind::Framebuffer) gl->glGenFramebuffers(1, &name);
        if constexpr (Kind == GlKind::Buffer) gl->glGenBuffers(1, &name);
        if constexpr (Kind == GlKind::VertexArray) gl->glGenVertexArrays(1, &name);
        if constexpr (Kind == GlKind::Sampler) gl->glGenSamplers(1, &name);
        return GlObject(gl, name);
    }
    GlObject(const GlObject&) = delete;
    GlObject& operator=(const GlObject&) = delete;
    GlObject(GlObject&& other) noexcept : gl_(other.gl_), name_(std::exchange(other.name_, 0)) {}
    GlObject& operator=(GlObject&& other) noexcept {
        if (this != &other) {
            reset();
            gl_ = other.gl_;
            name_ = std::exchange(other.name_, 0);
        }
        return *this;
    }
    ~GlObject() { reset(); }

    GLuint get() const { return name_; }
    explicit operator bool() const { return name_ != 0; }

    // Forgets the name without deleting it: for a context that can no longer be made current.
    void Abandon() { name_ = 0; }

    void reset() {
        if (name_ == 0 || gl_ == nullptr) {
            name_ = 0;
            return;
        }
        if constexpr (Kind == GlKind::Texture) gl_->glDeleteTextures(1, &name_);
        if constexpr (Kind == GlKind::Framebuffer) gl_->glDeleteFramebuffers(1, &name_);
        if constexpr (Kind == GlKind::Buffer) gl_->glDeleteBuffers(1, &name_);
        if constexpr (Kind == GlKind::VertexArray) gl_->glDeleteVertexArrays(1, &name_);
        if constexpr (Kind == GlKind::Sampler) gl_->glDeleteSamplers(1, &name_);
        if constexpr (Kind == GlKind::Shader) gl_->glDeleteShader(name_);
        if constexpr (Kind == GlKind::Program) gl_->glDeleteProgram(name_);
        name_ = 0;
    }

private:
    QOpenGLFunctions_3_3_Core* gl_ = nullptr;
    GLuint name_ = 0;
};

using GlTexture = GlObject<GlKind::Texture>;
using GlFramebuffer = GlObject<GlKind::Framebuffer>;
using GlBuffer = GlObject<GlKind::Buffer>;
using GlVertexArray = GlObject<GlKind::VertexArray>;
using GlSampler = GlObject<GlKind::Sampler>;
using GlShader = GlObject<GlKind::Shader>;
using GlProgram = GlObject<GlKind::Program>;
