#pragma once
// The OpenGL context of the render engine: core profile, reset notification on, current on the render
// thread only. It draws offscreen or into a window's surface.

#include <memory>
#include <string>

class QOpenGLContext;
class QOffscreenSurface;
class QOpenGLFunctions_3_3_Core;
class QSurface;

namespace platform {

class GlContext {
public:
    GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;
    ~GlContext();

    // Whether this platform can make OpenGL contexts at all.
    static bool Available(std::string* why);

    // Creates a core-profile context of at least the given version, current on the calling thread with
    // an offscreen surface. The offscreen surface must be made on the UI thread: call PrepareSurface
    // there first (Create does it when called on the UI thread).
    void PrepareSurface();
    bool Create(int major, int minor, std::string* error);
    bool IsValid() const;

    bool MakeCurrent();                   // the offscreen surface
    bool MakeCurrent(QSurface* surface);  // a window's surface
    void SwapBuffers(QSurface* surface);
    void DoneCurrent();

    // True once the driver has reported that the context was lost (a GPU reset).
    bool Lost() const;
    QOpenGLFunctions_3_3_Core* gl() const { return functions_; }
    int majorVersion() const;
    int minorVersion() const;
    std::string Vendor() const;
    std::string Renderer() const;
    std::string VersionText() const;

private:
    std::unique_ptr<QOffscreenSurface> surface_;
    std::unique_ptr<QOpenGLContext> context_;
    QOpenGLFunctions_3_3_Core* functions_ = nullptr;  // owned by the context
};

}  // namespace platform
