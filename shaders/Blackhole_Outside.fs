#version 330 core
// The arena background beyond an open black hole's reach, worked out as the swirl program
// works it out there (no twist, no darkening, a glow too faint to show), without the swirl's
// arithmetic: drawing in software, every instruction runs for every pixel.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D image;
uniform vec4 color;
uniform float scaleRatioX;
uniform float scaleRatioY;
uniform vec2 swirlCenter[1];

void main() {
    vec2 size = vec2(scaleRatioX, scaleRatioY);
    vec2 offset = uv * size - swirlCenter[0];
    vec2 sampleAt = (swirlCenter[0] + offset) / size;
    vec4 texel = texture(image, sampleAt) * color;
    if (texel.a < 1.0 / 255.0) {
        discard;
    }
    fragColor = texel;
}
