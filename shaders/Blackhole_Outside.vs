#version 330 core
// A world quad: the camera's view and projection place it.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 textureCoordinate;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec2 uv;

void main() {
    uv = textureCoordinate;
    gl_Position = projection * view * model * vec4(position, 1.0);
}
