#version 330 core
// Overlay text: positions in interface units, no projection (see Sprite_UI.vs).
layout(location = 0) in vec4 vertex;

uniform mat4 model;
uniform mat4 view;

out vec2 uv;

void main() {
    uv = vertex.zw;
    gl_Position = view * model * vec4(vertex.xy, 0.0, 1.0);
}
