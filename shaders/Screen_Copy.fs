#version 330 core
// The off-screen picture as it is: what the shock-wave composite gives wherever no ring passes,
// sampled the same way.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D screenTexture;

void main() {
    fragColor = vec4(texture(screenTexture, uv).rgb, 1.0);
}
