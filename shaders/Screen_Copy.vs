#version 330 core
// The full-screen composite: the quad already covers clip space.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 textureCoordinate;

out vec2 uv;

void main() {
    uv = textureCoordinate;
    gl_Position = vec4(position, 1.0);
}
