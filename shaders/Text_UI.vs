#version 330 core
// Overlay text: positions in interface units, no projection, on the near plane (see Sprite_UI.vs).
layout(location = 0) in vec4 vertex;

uniform mat4 model;
uniform mat4 view;

out vec2 uv;

void main() {
    uv = vertex.zw;
    vec4 placed = view * model * vec4(vertex.xy, 0.0, 1.0);
    gl_Position = vec4(placed.xy, -placed.w, placed.w);
}
