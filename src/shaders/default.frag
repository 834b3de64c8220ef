#version 330 core
uniform sampler2D image0;
in vec2 uv;
out vec4 fragColor;

void main() {
    fragColor = texture(image0, uv);
}
