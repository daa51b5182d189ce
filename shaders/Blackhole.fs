#version 330 core
// The arena background, twisted round a black hole while one is open. Positions are in world
// units from the background's top-left corner, y downwards.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D image;
uniform vec4 color;
uniform int swirlActive;
uniform float scaleRatioX;
uniform float scaleRatioY;
uniform float swirlAngle[1];
uniform float swirlRadius[1];
uniform float swirlSpeed[1];
uniform vec2 swirlCenter[1];

void main() {
    vec2 sampleAt = uv;
    float darken = 1.0;
    vec3 glow = vec3(0.0);
    if (swirlActive != 0 && swirlRadius[0] > 0.0) {
        vec2 size = vec2(scaleRatioX, scaleRatioY);
        vec2 offset = uv * size - swirlCenter[0];
        float dist = length(offset);
        float radius = swirlRadius[0];
        if (dist < radius) {
            // The pull grows towards the centre: the twist goes with the square of the depth.
            float depth = (radius - dist) / radius;
            float theta = depth * depth * swirlAngle[0] * swirlSpeed[0] * 4.0;
            float s = sin(theta);
            float c = cos(theta);
            offset = vec2(c * offset.x - s * offset.y, s * offset.x + c * offset.y);
            darken = 1.0 - 0.85 * smoothstep(0.55, 1.0, depth);
        }
        sampleAt = (swirlCenter[0] + offset) / size;
        // A violet glow on the rim of the hole's heart.
        float rim = exp(-pow((dist - radius * 0.35) / (radius * 0.08), 2.0));
        glow = vec3(0.55, 0.15, 0.85) * rim * 0.6;
    }
    vec4 texel = texture(image, sampleAt) * color;
    if (texel.a < 1.0 / 255.0) {
        discard;
    }
    fragColor = vec4(texel.rgb * darken + glow, texel.a);
}
