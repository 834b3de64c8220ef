#include "render/MaskConstants.h"

#include <QOpenGLFunctions_3_3_Core>
#include <cstring>

#include "log/IDebugPrint.h"
#include "render/RenderEngine.h"

MaskConstants::~MaskConstants() { Release(); }

bool MaskConstants::Create() {
    QOpenGLFunctions_3_3_Core* gl = engine_.gl();
    if (gl == nullptr) return false;
    gl->glGenBuffers(1, &buffer_);
    gl->glBindBuffer(GL_UNIFORM_BUFFER, buffer_);
    gl->glBufferData(GL_UNIFORM_BUFFER, sizeof(MaskData), nullptr, GL_DYNAMIC_DRAW);
    gl->glBindBuffer(GL_UNIFORM_BUFFER, 0);
    if (const unsigned e = engine_.TakeError()) {
        Log() << "(render)" << "[Error] " << "CreateBuffer with size " << 72 << " : " << LogHex << e << LogEnd;
        gl->glDeleteBuffers(1, &buffer_);
        buffer_ = 0;
        return false;
    }
    return true;
}

void MaskConstants::Upload(const MaskData& data) {
    QOpenGLFunctions_3_3_Core* gl = engine_.gl();
    if (gl == nullptr) return;
    void* p = nullptr;
    if (buffer_ != 0) {
        gl->glBindBuffer(GL_UNIFORM_BUFFER, buffer_);
        p = gl->glMapBufferRange(GL_UNIFORM_BUFFER, 0, kUsedBytes, GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT);
    }
    if (p == nullptr) {
        const unsigned e = engine_.TakeError();
        Log() << "(render)" << "[Error] " << "Buffer map" << " : " << LogHex << (e != 0 ? e : GL_INVALID_OPERATION)
              << LogEnd;
    } else {
        std::memcpy(p, &data, kUsedBytes);
        gl->glUnmapBuffer(GL_UNIFORM_BUFFER);
    }
    gl->glBindBufferBase(GL_UNIFORM_BUFFER, 0, buffer_);
}

void MaskConstants::Release() {
    QOpenGLFunctions_3_3_Core* gl = engine_.gl();
    if (gl != nullptr && buffer_ != 0) gl->glDeleteBuffers(1, &buffer_);
    buffer_ = 0;
}
