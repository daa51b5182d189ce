#version 330 core
// The glyph's coverage, in the red channel of unit 0, becomes the alpha of the colour.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D glyph;
uniform vec4 color;

void main() {
    float coverage = texture(glyph, uv).r;
    float alpha = color.a * coverage;
    if (alpha < 1.0 / 255.0) {
        discard;
    }
    fragColor = vec4(color.rgb, alpha);
}
