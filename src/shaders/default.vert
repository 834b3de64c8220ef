#version 330 core
// Textured quad: positions arrive in clip space, texture coordinates pass through.
layout(location = 0) in vec4 POSITION;
layout(location = 1) in vec2 TEXCOORD;
out vec2 uv;

void main() {
    gl_Position = vec4(POSITION.xy, 0.0, 1.0);
    uv = TEXCOORD;
}
