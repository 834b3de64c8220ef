#pragma once
// The mask shaders' constants (the "maskdata" block, std140, 80 bytes of which 72 are used).

#include <cstddef>

#include "render/GlObject.h"

class RenderEngine;

struct MaskData {
    float outer_color[4];
    float transition_color[4];
    float mask_dist;
    float transition_dist;
    float uv_center[2];
    float uv_scale[2];
    float uv_lt[2];
    float uv_rb[2];
    float padding[2];
};
static_assert(sizeof(MaskData) == 80);
static_assert(offsetof(MaskData, mask_dist) == 32 && offsetof(MaskData, uv_center) == 40 &&
              offsetof(MaskData, uv_scale) == 48 && offsetof(MaskData, uv_lt) == 56 &&
              offsetof(MaskData, uv_rb) == 64);

class MaskConstants {
public:
    static constexpr size_t kUsedBytes = 72;

    explicit MaskConstants(RenderEngine& engine) : engine_(engine) {}
    MaskConstants(const MaskConstants&) = delete;
    MaskConstants& operator=(const MaskConstants&) = delete;
    ~MaskConstants();

    bool Create();
    // Writes the 72 bytes (map with discard) and binds the buffer for the pixel shaders, also after a
    // failed write, which leaves the old content.
    void Upload(const MaskData& data);
    void Release();
    GLuint buffer() const { return buffer_.get(); }

private:
    RenderEngine& engine_;
    GlBuffer buffer_;
};
