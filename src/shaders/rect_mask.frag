#version 330 core
// Rectangle mask with the view's proportions; the band has the same shape as the circle's.
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
    vec2 p = abs(uv - uv_center) / (uv_rb - uv_lt);
    float inner = mask_dist - transition_dist * 0.5;
    vec2 q = p - inner;
    if (q.x <= 0.0 && q.y <= 0.0) {
        fragColor = c;
        return;
    }
    if (q.x > transition_dist || q.y > transition_dist) {
        fragColor = premul(outer_color);
        return;
    }
    vec2 s = q / transition_dist;
    float k = max(s.x, s.y);
    if (k < 0.5) {
        fragColor = premul(mix(c, transition_color, 2.0 * k));
    } else {
        fragColor = premul(mix(transition_color, outer_color, 2.0 * k - 1.0));
    }
}
