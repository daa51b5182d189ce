#version 330 core
// Every live particle in one instanced draw: the quad per vertex, the rest per particle.
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec2 aTexCoord;
layout (location = 2) in vec4 aModel0;
layout (location = 3) in vec4 aModel1;
layout (location = 4) in vec4 aModel2;
layout (location = 5) in vec4 aModel3;
layout (location = 6) in vec4 aColor;
layout (location = 7) in float aLayer;

uniform mat4 view;
uniform mat4 projection;

out vec2 TexCoord;
out vec4 Tint;
flat out int Layer;

void main()
{
    mat4 model = mat4(aModel0, aModel1, aModel2, aModel3);
    gl_Position = projection * view * model * vec4(aPos, 1.0);
    TexCoord = aTexCoord;
    Tint = aColor;
    Layer = int(floor(aLayer + 0.5));
}
