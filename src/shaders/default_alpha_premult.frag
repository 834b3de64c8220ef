#version 330 core
// The enlarged image without a mask, premultiplied for the view window.
uniform sampler2D image0;
in vec2 uv;
out vec4 fragColor;

void main() {
    vec4 c = texture(image0, uv);
    fragColor = vec4(c.rgb * c.a, c.a);
}
