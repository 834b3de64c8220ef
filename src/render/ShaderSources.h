#pragma once
// The program's shaders, as GLSL 330 sources checked and embedded at build time.

enum class ShaderStage { Vertex, Pixel };

struct ShaderSource {
    const char* name;
    ShaderStage stage;
    const char* text;
};

extern const ShaderSource kShaderSources[];
extern const int kShaderSourceCount;
