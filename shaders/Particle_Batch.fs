#version 330 core
// Shades each particle exactly as the sprite program would, choosing its texture among the
// ones bound for this draw.
in vec2 TexCoord;
in vec4 Tint;
flat in int Slot;

uniform sampler2D images[16];

out vec4 FragColor;

void main()
{
    vec4 texel = vec4(0.0, 0.0, 0.0, 1.0);
    switch (Slot) {
        case 0: texel = texture(images[0], TexCoord); break;
        case 1: texel = texture(images[1], TexCoord); break;
        case 2: texel = texture(images[2], TexCoord); break;
        case 3: texel = texture(images[3], TexCoord); break;
        case 4: texel = texture(images[4], TexCoord); break;
        case 5: texel = texture(images[5], TexCoord); break;
        case 6: texel = texture(images[6], TexCoord); break;
        case 7: texel = texture(images[7], TexCoord); break;
        case 8: texel = texture(images[8], TexCoord); break;
        case 9: texel = texture(images[9], TexCoord); break;
        case 10: texel = texture(images[10], TexCoord); break;
        case 11: texel = texture(images[11], TexCoord); break;
        case 12: texel = texture(images[12], TexCoord); break;
        case 13: texel = texture(images[13], TexCoord); break;
        case 14: texel = texture(images[14], TexCoord); break;
        case 15: texel = texture(images[15], TexCoord); break;
    }
    texel *= Tint;
    // Like the sprite program: fully transparent texels neither cover nor write depth.
    if (texel.a < 1.0 / 255.0) {
        discard;
    }
    FragColor = texel;
}
