#version 330 core
// One glyph quad: xy in raster pixels around the text's centre (the model scales them into the
// owner's units), zw the glyph texture coordinate.
layout(location = 0) in vec4 vertex;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec2 uv;

void main() {
    uv = vertex.zw;
    gl_Position = projection * view * model * vec4(vertex.xy, 0.0, 1.0);
}
