#version 330 core
// The off-screen picture of the scene, as it is.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D screenTexture;

void main() {
    fragColor = vec4(texture(screenTexture, uv).rgb, 1.0);
}
