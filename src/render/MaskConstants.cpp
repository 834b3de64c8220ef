#include "render/MaskConstants.h"

#include <cstring>

#include "log/LogFailure.h"
#include "render/RenderEngine.h"

MaskConstants::~MaskConstants() { Release(); }

bool MaskConstants::Create() {
    QOpenGLFunctions_3_3_Core* gl = engine_.gl();
    if (gl == nullptr) return false;
    buffer_ = GlBuffer::Generate(gl);
    gl->glBindBuffer(GL_UNIFORM_BUFFER, buffer_.get());
    gl->glBufferData(GL_UNIFORM_BUFFER, sizeof(MaskData), nullptr, GL_DYNAMIC_DRAW);
    gl->glBindBuffer(GL_UNIFORM_BUFFER, 0);
    if (const unsigned e = engine_.TakeError()) {
        LogFailureHex(LogTag::kRender, "CreateBuffer with size " + std::to_string(kUsedBytes), e);
        buffer_.reset();
        return false;
    }
    return true;
}

void MaskConstants::Upload(const MaskData& data) {
    QOpenGLFunctions_3_3_Core* gl = engine_.gl();
    if (gl == nullptr) return;
    void* p = nullptr;
    if (buffer_) {
        gl->glBindBuffer(GL_UNIFORM_BUFFER, buffer_.get());
        p = gl->glMapBufferRange(GL_UNIFORM_BUFFER, 0, kUsedBytes,
                                 GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT);
    }
    if (p == nullptr) {
        const unsigned e = engine_.TakeError();
        LogFailureHex(LogTag::kRender, "Buffer map", e != 0 ? e : GL_INVALID_OPERATION);
    } else {
        std::memcpy(p, &data, kUsedBytes);
        gl->glUnmapBuffer(GL_UNIFORM_BUFFER);
    }
    gl->glBindBufferBase(GL_UNIFORM_BUFFER, 0, buffer_.get());
}

void MaskConstants::Release() { buffer_.reset(); }
