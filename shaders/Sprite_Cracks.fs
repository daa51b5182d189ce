#version 330 core
// Platforms crack where bullets hit: round each live contact point the crack normal map
// (texture unit 1) is lit, so the grooves show as dark lines with a bright edge, fading out
// with the crack.
in vec2 uv;
in vec2 worldPosition;
out vec4 fragColor;

uniform sampler2D image;
uniform sampler2D normalTexture;
uniform vec4 color;
// The live cracks come first in the arrays; the loop stops after the last of them, since drawing
// in software runs every pass of a loop for every pixel.
uniform int crackCount;
uniform int contactActive[20];
uniform vec2 contactPoints[20];
uniform float crackRadius[20];
uniform float crackAlpha[20];

const vec3 kLight = vec3(-0.45, 0.65, 0.61);

void main() {
    vec4 base = texture(image, uv) * color;
    if (base.a < 1.0 / 255.0) {
        discard;
    }
    float reveal = 0.0;
    for (int i = 0; i < crackCount; ++i) {
        if (contactActive[i] == 0 || crackRadius[i] <= 0.0) {
            continue;
        }
        float d = distance(worldPosition, contactPoints[i]);
        float inside = 1.0 - smoothstep(crackRadius[i] * 0.55, crackRadius[i], d);
        reveal = max(reveal, inside * crackAlpha[i]);
    }
    if (reveal > 0.0) {
        vec3 n = normalize(texture(normalTexture, uv).rgb * 2.0 - 1.0);
        // Flat texels (normal straight out) are untouched; tilted ones are the crack's walls.
        float groove = clamp((1.0 - n.z) * 3.0, 0.0, 1.0);
        float light = clamp(dot(n, normalize(kLight)), 0.0, 1.0);
        vec3 cracked = base.rgb * mix(0.25, 1.35, light);
        base.rgb = mix(base.rgb, cracked, groove * reveal);
    }
    fragColor = base;
}
