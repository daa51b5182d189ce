#version 330 core
// Rings that refract the finished picture as they sweep outwards from a knock-out or an
// expulsion pulse. Ring positions are in picture units: x in [0, 1.6], y in [0, 1] upwards,
// measured on the letterboxed picture, not on the window with its bars.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D screenTexture;
uniform float screenRatioX;
uniform float paddingX;
uniform float paddingY;
// The live rings come first in the arrays; the loop stops after the last of them, since drawing
// in software runs every pass of a loop for every pixel.
uniform int waveCount;
uniform int waveActive[10];
uniform float waveRadius[10];
uniform vec2 waveCenter[10];
uniform float waveAmplitude[10];
uniform float waveRefraction[10];
uniform float waveWidth[10];

void main() {
    float pictureWidth = max(1.0 - 2.0 * paddingX, 1e-4);
    float pictureHeight = max(1.0 - 2.0 * paddingY, 1e-4);
    vec2 p = vec2((uv.x - paddingX) / pictureWidth * screenRatioX, (uv.y - paddingY) / pictureHeight);
    vec2 shift = vec2(0.0);
    float flash = 0.0;
    for (int i = 0; i < waveCount; ++i) {
        if (waveActive[i] == 0 || waveRefraction[i] <= 0.0) {
            continue;
        }
        vec2 toPoint = p - waveCenter[i];
        float dist = length(toPoint);
        float diff = dist - waveRadius[i];
        if (abs(diff) < waveWidth[i] && dist > 1e-4) {
            // Strongest in the middle of the band, nothing at its edges.
            float falloff = max(1.0 - pow(abs(diff * waveAmplitude[i]), waveRefraction[i]), 0.0);
            shift += toPoint / dist * diff * falloff;
            flash += falloff * min(waveRefraction[i], 1.0) * 0.12;
        }
    }
    // Back from picture units to the window's texture coordinates.
    vec2 sampleAt = uv - vec2(shift.x / max(screenRatioX, 1e-4) * pictureWidth, shift.y * pictureHeight);
    fragColor = vec4(texture(screenTexture, sampleAt).rgb + vec3(flash), 1.0);
}
