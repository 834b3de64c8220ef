#pragma once
// Shaders by name, one map per stage, with the vertex input layout each vertex shader expects.

#include <string>
#include <vector>

#include "render/ShaderSources.h"

struct VertexElement {
    const char* semantic;  // "POSITION", "TEXCOORD", "COLOR"
    int location;
    int components;  // floats
    int offset;      // bytes
};

struct ShaderRecord {
    const char* source = nullptr;
    size_t size = 0;
    std::vector<VertexElement> layout;  // vertex shaders only
    int stride = 0;
};

class ShaderRegistry {
public:
    // The record of a name, or nullptr when the program has no such shader.
    static const ShaderRecord* Vertex(const std::string& name);
    static const ShaderRecord* Pixel(const std::string& name);
};
