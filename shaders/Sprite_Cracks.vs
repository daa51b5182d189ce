#version 330 core
// A world quad placed by the camera, which also tells the fragments where they are in the
// world so cracks can be drawn round contact points.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 textureCoordinate;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec2 uv;
out vec2 worldPosition;

void main() {
    uv = textureCoordinate;
    vec4 world = model * vec4(position, 1.0);
    worldPosition = world.xy;
    gl_Position = projection * view * world;
}
