#version 330 core
// The picture in shades of grey, then tinted by the colour.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D image;
uniform vec4 color;

void main() {
    vec4 texel = texture(image, uv);
    float grey = dot(texel.rgb, vec3(0.299, 0.587, 0.114));
    vec4 tinted = vec4(vec3(grey), texel.a) * color;
    if (tinted.a < 1.0 / 255.0) {
        discard;
    }
    fragColor = tinted;
}
