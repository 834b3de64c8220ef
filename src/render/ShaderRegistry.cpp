#include "render/ShaderRegistry.h"

#include <cstring>
#include <map>

namespace {

// The two vertex formats: textured (24 bytes) and coloured (32 bytes).
const std::vector<VertexElement> kTextured = {{"POSITION", 0, 4, 0}, {"TEXCOORD", 1, 2, 16}};
const std::vector<VertexElement> kColoured = {{"POSITION", 0, 4, 0}, {"COLOR", 1, 4, 16}};

struct Maps {
    std::map<std::string, ShaderRecord> vertex, pixel;
    Maps() {
        for (int i = 0; i < kShaderSourceCount; ++i) {
            const ShaderSource& s = kShaderSources[i];
            ShaderRecord r;
            r.source = s.text;
            r.size = std::strlen(s.text);
            if (s.stage == ShaderStage::Vertex) {
                const bool coloured = std::string(s.name) == "color";
                r.layout = coloured ? kColoured : kTextured;
                r.stride = coloured ? 32 : 24;
                vertex[s.name] = r;
            } else {
                pixel[s.name] = r;
            }
        }
    }
};

const Maps& Registry() {
    static const Maps maps;
    return maps;
}

}  // namespace

const ShaderRecord* ShaderRegistry::Vertex(const std::string& name) {
    auto it = Registry().vertex.find(name);
    return it == Registry().vertex.end() ? nullptr : &it->second;
}

const ShaderRecord* ShaderRegistry::Pixel(const std::string& name) {
    auto it = Registry().pixel.find(name);
    return it == Registry().pixel.end() ? nullptr : &it->second;
}
