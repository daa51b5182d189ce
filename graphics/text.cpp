#include "graphics/text.hpp"

#include <GL/glew.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <iostream>
#include <set>
#include <string>

void LoadGlyphs(const std::string& fontPath, GlyphTable& glyphs) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::cout << "ERROR::FREETYPE: Could not init FreeType Library" << std::endl;
        library = nullptr;
    }
    FT_Face face = nullptr;
    if (library == nullptr || FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) {
        // Said once for the run, with the file: a window re-created later finds it missing
        // all the same, and a line per glyph would say nothing more.
        static std::set<std::string> reported;
        if (reported.insert(fontPath).second) {
            std::cout << "ERROR::FREETYPE: Failed to load font" << std::endl;
            std::cout << fontPath << std::endl;
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
        return;
    }
    FT_Set_Pixel_Sizes(face, 0, kFontPixelHeight);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int code = 0; code < 128; ++code) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER) != 0) {
            std::cout << "ERROR::FREETYTPE: Failed to load Glyph" << std::endl;
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, static_cast<GLsizei>(slot->bitmap.width),
                     static_cast<GLsizei>(slot->bitmap.rows), 0, GL_RED, GL_UNSIGNED_BYTE,
                     slot->bitmap.buffer);
        // Every glyph is drawn with these; setting them once here spares it on every draw.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glyphs[static_cast<char>(code)] = Glyph{texture,
                                                static_cast<int32_t>(slot->bitmap.width),
                                                static_cast<int32_t>(slot->bitmap.rows),
                                                slot->bitmap_left,
                                                slot->bitmap_top,
                                                static_cast<uint32_t>(slot->advance.x)};
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

void ReleaseGlyphs(GlyphTable& glyphs) {
    for (auto& [code, glyph] : glyphs) {
        if (glyph.textureId != 0) {
            glDeleteTextures(1, &glyph.textureId);
        }
    }
    glyphs.clear();
}

void LayoutText(GlyphTable& glyphs, const std::string& text, std::vector<GlyphQuad>& out) {
    out.clear();
    if (text.empty()) {
        return;
    }
    int64_t totalAdvance = 0;
    for (char c : text) {
        totalAdvance += glyphs[c].advance >> 6;
    }
    const float halfWidth = static_cast<float>(totalAdvance) * 0.5f;
    const float halfHeight = static_cast<float>(glyphs['A'].bearingY) * 0.5f;
    int64_t pen = 0;
    for (char c : text) {
        const Glyph& g = glyphs[c];
        if (g.sizeX > 0 && g.sizeY > 0) {
            const float x = static_cast<float>(g.bearingX + pen) - halfWidth;
            const float yBottom = static_cast<float>(-(g.sizeY - g.bearingY)) - halfHeight;
            const float yTop = yBottom + static_cast<float>(g.sizeY);
            const float xRight = x + static_cast<float>(g.sizeX);
            out.push_back({g.textureId, {x, yTop, 0, 0, x,      yBottom, 0, 1, xRight, yBottom, 1, 1, //
                                         x, yTop, 0, 0, xRight, yBottom, 1, 1, xRight, yTop,    1, 0}});
        }
        pen += g.advance >> 6;
    }
}
