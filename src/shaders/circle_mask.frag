#version 330 core
// Circle mask: the image up to the band's inner edge, then the transition colour at the middle of the
// band, the outer colour from its outer edge on. Distances are in units of the source rectangle's
// shorter side. A band of width 0 is a hard edge and never divides.
uniform sampler2D image0;
layout(std140) uniform maskdata {
    vec4 outer_color;
    vec4 transition_color;
    float mask_dist;
    float transition_dist;
    vec2 uv_center;
    vec2 uv_scale;
    vec2 uv_lt;
    vec2 uv_rb;
};
in vec2 uv;
out vec4 fragColor;

vec4 premul(vec4 x) { return vec4(x.rgb * x.a, x.a); }

void main() {
    vec4 c = texture(image0, uv);
    float d = length((uv - uv_center) * uv_scale);
    float inner = mask_dist - transition_dist * 0.5;
    if (inner >= d) {
        fragColor = c;
        return;
    }
    float outer = mask_dist + transition_dist * 0.5;
    if (d > outer) {
        fragColor = premul(outer_color);
        return;
    }
    float t = 2.0 * (d - mask_dist) / transition_dist;
    if (t < 0.0) {
        fragColor = premul(mix(transition_color, c, -t));
    } else {
        fragColor = premul(mix(transition_color, outer_color, t));
    }
}
