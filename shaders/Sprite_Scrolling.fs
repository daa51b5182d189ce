#version 330 core
// A background that drifts sideways for ever; the sprite pass sets the texture to repeat.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D image;
uniform vec4 color;
uniform float scrollTime;
uniform float scrollSpeed;

void main() {
    vec4 texel = texture(image, uv + vec2(scrollTime * scrollSpeed, 0.0)) * color;
    if (texel.a < 1.0 / 255.0) {
        discard;
    }
    fragColor = texel;
}
