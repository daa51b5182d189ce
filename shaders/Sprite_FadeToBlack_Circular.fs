#version 330 core
// A full-screen overlay that hides the picture outside a circle round the centre: fully
// covered at fadeRadius 0, fully open at 0.5, with a soft rim in between.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D image;
uniform vec4 color;
uniform int fadeActive;
uniform float fadeRadius;

const float kRim = 0.03;
// Half the diagonal of the 16:10 picture, so the circle reaches the corners at radius 0.5.
const float kHalfDiagonal = 0.9433981;

void main() {
    vec4 base = texture(image, uv) * color;
    if (fadeActive != 0) {
        vec2 fromCentre = (uv - vec2(0.5)) * vec2(1.6, 1.0);
        float d = length(fromCentre) / kHalfDiagonal * 0.5;
        // Stretch the radius so 0 leaves no hole at all and 0.5 leaves no rim in the corners.
        float r = fadeRadius * (1.0 + 2.0 * kRim) - kRim;
        base.a *= smoothstep(r, r + kRim, d);
    }
    if (base.a < 1.0 / 255.0) {
        discard;
    }
    fragColor = base;
}
