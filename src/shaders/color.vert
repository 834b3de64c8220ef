#version 330 core
// Coloured primitives: positions in clip space, colour passes through.
layout(location = 0) in vec4 POSITION;
layout(location = 1) in vec4 COLOR;
out vec4 color;

void main() {
    gl_Position = vec4(POSITION.xy, 0.0, 1.0);
    color = COLOR;
}
