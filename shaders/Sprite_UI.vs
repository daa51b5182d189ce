#version 330 core
// An interface quad: positions are in interface units (-1 to 1 across the picture), so there is
// no projection. The view still applies, so objects that follow the camera's shake stay put.
// Interface z only orders objects in the tree; every quad sits on the near plane so none is
// lost to depth clipping and overlay pictures are never behind the world.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 textureCoordinate;

uniform mat4 model;
uniform mat4 view;

out vec2 uv;

void main() {
    uv = textureCoordinate;
    vec4 placed = view * model * vec4(position, 1.0);
    gl_Position = vec4(placed.xy, -placed.w, placed.w);
}
