#version 330 core
// An interface quad: positions are in interface units (-1 to 1 across the picture), so there is
// no projection. The view still applies, so objects that follow the camera's shake stay put.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 textureCoordinate;

uniform mat4 model;
uniform mat4 view;

out vec2 uv;

void main() {
    uv = textureCoordinate;
    gl_Position = view * model * vec4(position, 1.0);
}
