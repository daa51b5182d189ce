#version 330 core
// The picture tinted by the colour. Fully transparent texels are dropped so they neither
// cover nor write depth.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D image;
uniform vec4 color;

void main() {
    vec4 texel = texture(image, uv) * color;
    if (texel.a < 1.0 / 255.0) {
        discard;
    }
    fragColor = texel;
}
