#version 330 core
// Shades each particle exactly as the sprite program would. The particles' pictures are layers
// of one array texture: drawing in software, choosing among several textures would sample every
// one of them for every pixel. A particle without a picture samples nothing, as with no texture
// bound.
in vec2 TexCoord;
in vec4 Tint;
flat in int Layer;

uniform sampler2DArray images;

out vec4 FragColor;

void main()
{
    vec4 texel = Layer < 0 ? vec4(0.0, 0.0, 0.0, 1.0) : texture(images, vec3(TexCoord, float(Layer)));
    texel *= Tint;
    // Like the sprite program: fully transparent texels neither cover nor write depth.
    if (texel.a < 1.0 / 255.0) {
        discard;
    }
    FragColor = texel;
}
