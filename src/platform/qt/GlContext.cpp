#include "platform/qt/GlContext.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLVersionFunctionsFactory>
#include <QSurfaceFormat>
#include <QThread>

namespace platform {

GlContext::GlContext() = default;

GlContext::~GlContext() {
    if (context_ && QOpenGLContext::currentContext() == context_.get()) context_->doneCurrent();
    context_.reset();
    surface_.reset();
}

bool GlContext::Available(std::string* why) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        if (why) *why = "no GUI application";
        return false;
    }
    if (QOpenGLContext::openGLModuleType() != QOpenGLContext::LibGL) {
        if (why) *why = "no desktop OpenGL";
        return false;
    }
    return true;
}

void GlContext::PrepareSurface() {
    if (surface_) return;
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setVersion(3, 3);
    format.setAlphaBufferSize(8);  // the same kind of surface as the ARGB windows the context draws into
    surface_ = std::make_unique<QOffscreenSurface>();
    surface_->setFormat(format);
    surface_->create();
}

bool GlContext::Create(int major, int minor, std::string* error) {
    if (!surface_) {
        if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
            if (error) *error = "offscreen surface not prepared on the UI thread";
            return false;
        }
        PrepareSurface();
    }
    if (!surface_->isValid()) {
        if (error) *error = "QOffscreenSurface::create";
        return false;
    }
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setVersion(major, minor);
    format.setOption(QSurfaceFormat::ResetNotification);
    format.setAlphaBufferSize(8);
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(format);
    if (!context->create()) {
        if (error) *error = "QOpenGLContext::create";
        return false;
    }
    const QSurfaceFormat got = context->format();
    if (got.profile() != QSurfaceFormat::CoreProfile || got.version() < qMakePair(major, minor)) {
        if (error)
            *error = "QOpenGLContext::create gave " + std::to_string(got.majorVersion()) + "." +
                     std::to_string(got.minorVersion());
        return false;
    }
    if (!context->makeCurrent(surface_.get())) {
        if (error) *error = "QOpenGLContext::makeCurrent";
        return false;
    }
    auto* f = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_3_3_Core>(context.get());
    if (f == nullptr || !f->initializeOpenGLFunctions()) {
        if (error) *error = "QOpenGLFunctions_3_3_Core";
        return false;
    }
    functions_ = f;
    context_ = std::move(context);
    return true;
}

bool GlContext::IsValid() const { return context_ && context_->isValid(); }

bool GlContext::MakeCurrent() { return context_ && context_->makeCurrent(surface_.get()); }

bool GlContext::MakeCurrent(QSurface* surface) {
    return context_ && surface && context_->makeCurrent(surface);
}

void GlContext::SwapBuffers(QSurface* surface) {
    if (context_ && surface) context_->swapBuffers(surface);
}

void GlContext::DoneCurrent() {
    if (context_) context_->doneCurrent();
}

bool GlContext::Lost() const { return context_ && !context_->isValid(); }

int GlContext::majorVersion() const { return context_ ? context_->format().majorVersion() : 0; }
int GlContext::minorVersion() const { return context_ ? context_->format().minorVersion() : 0; }

namespace {
std::string GlString(QOpenGLFunctions_3_3_Core* f, unsigned name) {
    if (f == nullptr) return {};
    const unsigned char* s = f->glGetString(name);
    return s != nullptr ? reinterpret_cast<const char*>(s) : "";
}
}  // namespace

std::string GlContext::Vendor() const { return GlString(functions_, GL_VENDOR); }
std::string GlContext::Renderer() const { return GlString(functions_, GL_RENDERER); }
std::string GlContext::VersionText() const { return GlString(functions_, GL_VERSION); }

}  // namespace platform
