#include "tools/asset_gen/text.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_STROKER_H

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <mutex>
#include <sstream>
#include <vector>

namespace assetgen {

namespace {

// Capital height of DejaVu Sans Bold as a fraction of the em; the block font matches it.
constexpr float kCapRatio = 0.729f;

std::vector<unsigned> decodeUtf8(const std::string& s) {
    std::vector<unsigned> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || (extra > 0 && i + extra >= s.size())) {
            out.push_back('?');
            ++i;
            continue;
        }
        unsigned cp = extra == 0 ? c : c & (0x3f >> extra);
        for (int k = 1; k <= extra; ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3f);
        }
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

// The letters of one line as coverage masks, with the pen's start on the baseline at (ox, oy).
struct LineInk {
    Mask fill;
    Mask outline;
    int ox = 0;
    int oy = 0;
    float capHeight = 0;
};

struct Bitmap {
    int left = 0, top = 0, width = 0, rows = 0;
    std::vector<float> v;
};

// The outlines as drawn, never fitted to the pixel grid. The game scales every picture, and
// grid-fitting had thinned a T's bar and the gap above an i's stem to one pixel row, which the
// scaled picture then lost on some lines: the letters keep the font's own proportions instead.
constexpr FT_Int32 kGlyphLoad = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

// Thread-local, since a FreeType library and its faces must not be shared between threads.
class FreeTypeFont {
  public:
    FreeTypeFont() {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            return;
        }
        if (FT_New_Face(library_, kFontPath, 0, &face_) != 0) {
            face_ = nullptr;
            return;
        }
        FT_Stroker_New(library_, &stroker_);
    }
    ~FreeTypeFont() {
        if (stroker_) {
            FT_Stroker_Done(stroker_);
        }
        if (face_) {
            FT_Done_Face(face_);
        }
        if (library_) {
            FT_Done_FreeType(library_);
        }
    }
    FreeTypeFont(const FreeTypeFont&) = delete;
    FreeTypeFont& operator=(const FreeTypeFont&) = delete;

    bool ok() const { return face_ != nullptr && stroker_ != nullptr; }

    float advanceWidth(const std::vector<unsigned>& text, float px) {
        setSize(px);
        float pen = 0;
        FT_UInt prev = 0;
        for (unsigned cp : text) {
            FT_UInt index = FT_Get_Char_Index(face_, cp);
            pen += kerning(prev, index);
            if (FT_Load_Glyph(face_, index, kGlyphLoad) == 0) {
                pen += face_->glyph->advance.x / 64.0f;
            }
            prev = index;
        }
        return pen;
    }

    LineInk render(const std::vector<unsigned>& text, float px, float outline) {
        setSize(px);
        if (outline > 0) {
            FT_Stroker_Set(stroker_, static_cast<FT_Fixed>(outline * 64), FT_STROKER_LINECAP_ROUND,
                           FT_STROKER_LINEJOIN_ROUND, 0);
        }
        struct Placed {
            Bitmap fill, stroke;
            int penX;
        };
        std::vector<Placed> glyphs;
        float pen = 0;
        FT_UInt prev = 0;
        for (unsigned cp : text) {
            FT_UInt index = FT_Get_Char_Index(face_, cp);
            pen += kerning(prev, index);
            prev = index;
            if (FT_Load_Glyph(face_, index, kGlyphLoad) != 0) {
                continue;
            }
            FT_Glyph glyph = nullptr;
            if (FT_Get_Glyph(face_->glyph, &glyph) != 0) {
                continue;
            }
            Placed placed;
            placed.penX = static_cast<int>(std::lround(pen));
            pen += face_->glyph->advance.x / 64.0f;
            if (outline > 0) {
                FT_Glyph copy = nullptr;
                if (FT_Glyph_Copy(glyph, &copy) == 0) {
                    if (FT_Glyph_Stroke(&copy, stroker_, 1) == 0) {
                        placed.stroke = toBitmap(copy);
                    } else {
                        FT_Done_Glyph(copy);
                    }
                }
            }
            placed.fill = toBitmap(glyph);
            glyphs.push_back(std::move(placed));
        }
        int pad = static_cast<int>(std::ceil(outline)) + 2;
        int x0 = 0, x1 = 1, y0 = -1, y1 = 0;
        for (const Placed& g : glyphs) {
            for (const Bitmap* b : {&g.fill, &g.stroke}) {
                if (b->width > 0) {
                    x0 = std::min(x0, g.penX + b->left);
                    x1 = std::max(x1, g.penX + b->left + b->width);
                    y0 = std::min(y0, -b->top);
                    y1 = std::max(y1, -b->top + b->rows);
                }
            }
        }
        LineInk ink;
        ink.ox = pad - x0;
        ink.oy = pad - y0;
        ink.fill = Mask(x1 - x0 + 2 * pad, y1 - y0 + 2 * pad);
        ink.outline = Mask(ink.fill.width, ink.fill.height);
        ink.capHeight = px * kCapRatio;
        for (const Placed& g : glyphs) {
            stamp(ink.fill, g.fill, ink.ox + g.penX, ink.oy);
            stamp(ink.outline, g.stroke, ink.ox + g.penX, ink.oy);
            stamp(ink.outline, g.fill, ink.ox + g.penX, ink.oy);
        }
        return ink;
    }

  private:
    void setSize(float px) {
        FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::max(1.0f, px) * 64), 72, 72);
    }

    float kerning(FT_UInt prev, FT_UInt index) {
        if (!prev || !FT_HAS_KERNING(face_)) {
            return 0;
        }
        FT_Vector delta;
        if (FT_Get_Kerning(face_, prev, index, FT_KERNING_UNFITTED, &delta) != 0) {
            return 0;
        }
        return delta.x / 64.0f;
    }

    // Renders and frees the glyph.
    static Bitmap toBitmap(FT_Glyph glyph) {
        Bitmap out;
        if (FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, 1) == 0) {
            auto* bg = reinterpret_cast<FT_BitmapGlyph>(glyph);
            const FT_Bitmap& bm = bg->bitmap;
            out.left = bg->left;
            out.top = bg->top;
            out.width = static_cast<int>(bm.width);
            out.rows = static_cast<int>(bm.rows);
            out.v.resize(static_cast<size_t>(out.width) * out.rows);
            for (int y = 0; y < out.rows; ++y) {
                for (int x = 0; x < out.width; ++x) {
                    out.v[static_cast<size_t>(y) * out.width + x] = bm.buffer[y * bm.pitch + x] / 255.0f;
                }
            }
        }
        FT_Done_Glyph(glyph);
        return out;
    }

    static void stamp(Mask& m, const Bitmap& b, int penX, int baseline) {
        for (int y = 0; y < b.rows; ++y) {
            for (int x = 0; x < b.width; ++x) {
                int mx = penX + b.left + x, my = baseline - b.top + y;
                if (mx >= 0 && my >= 0 && mx < m.width && my < m.height) {
                    m.ref(mx, my) = std::max(m.ref(mx, my), b.v[static_cast<size_t>(y) * b.width + x]);
                }
            }
        }
    }

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    FT_Stroker stroker_ = nullptr;
};

// A 5 x 7 block font for when the TrueType font is missing: rows top to bottom, bit 4 leftmost.
const std::array<unsigned char, 7>* blockGlyph(unsigned cp) {
    static const struct {
        char c;
        std::array<unsigned char, 7> rows;
    } kGlyphs[] = {
        {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},  {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},  {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
        {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},  {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
        {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},  {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
        {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},  {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
        {'A', {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11}},  {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
        {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},  {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
        {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},  {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
        {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},  {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},  {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
        {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},  {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
        {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},  {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
        {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},  {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
        {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},  {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
        {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},  {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
        {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},  {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
        {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},  {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
        {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},  {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
        {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}},  {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
        {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},  {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
        {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},  {';', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x04, 0x08}},
        {'\'', {0x0C, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00}}, {'"', {0x0A, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},  {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
        {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}},  {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
        {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},  {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
        {'&', {0x0C, 0x12, 0x14, 0x08, 0x15, 0x12, 0x0D}},  {'=', {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00}},
        {'<', {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02}},  {'>', {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08}},
        {'*', {0x00, 0x04, 0x15, 0x0E, 0x15, 0x04, 0x00}},  {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}},
        {'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}},
    };
    static const std::array<unsigned char, 7> kBlank{};
    if (cp == ' ') {
        return &kBlank;
    }
    if (cp >= 'a' && cp <= 'z') {
        cp = cp - 'a' + 'A';
    }
    for (const auto& g : kGlyphs) {
        if (static_cast<unsigned>(g.c) == cp) {
            return &g.rows;
        }
    }
    return blockGlyph('?');
}

float blockDot(float px) {
    return px * kCapRatio / 7.0f;
}

LineInk renderBlock(const std::vector<unsigned>& text, float px, float outline) {
    float u = blockDot(px);
    int pad = static_cast<int>(std::ceil(outline + u)) + 2;
    LineInk ink;
    ink.capHeight = 7 * u;
    ink.ox = pad;
    ink.oy = pad + static_cast<int>(std::ceil(7 * u));
    ink.fill = Mask(static_cast<int>(std::ceil(text.size() * 6 * u)) + 2 * pad, ink.oy + pad);
    ink.outline = Mask(ink.fill.width, ink.fill.height);
    for (size_t i = 0; i < text.size(); ++i) {
        const auto& rows = *blockGlyph(text[i]);
        for (int r = 0; r < 7; ++r) {
            for (int c = 0; c < 5; ++c) {
                if (!(rows[r] & (0x10 >> c))) {
                    continue;
                }
                Vec2 centre{ink.ox + (i * 6 + c + 0.5f) * u, ink.oy - (7 - r - 0.5f) * u};
                Shape dot = box(centre, {u * 0.5f + 0.5f, u * 0.5f + 0.5f});
                Shape grown = box(centre, {u * 0.5f + outline, u * 0.5f + outline}, outline);
                for (auto [mask, shape] : {std::pair{&ink.fill, &dot}, std::pair{&ink.outline, &grown}}) {
                    Bounds b = shape->bounds;
                    for (int y = std::max(0, int(b.y0) - 1); y < std::min(mask->height, int(b.y1) + 2); ++y) {
                        for (int x = std::max(0, int(b.x0) - 1); x < std::min(mask->width, int(b.x1) + 2);
                             ++x) {
                            float cov = std::clamp(0.5f - shape->distance({x + 0.5f, y + 0.5f}), 0.0f, 1.0f);
                            mask->ref(x, y) = std::max(mask->ref(x, y), cov);
                        }
                    }
                }
            }
        }
    }
    return ink;
}

thread_local std::function<void(const SetLine&)> lineWatcher;

FreeTypeFont& threadFont() {
    thread_local FreeTypeFont font;
    static std::once_flag reported;
    if (!font.ok()) {
        std::call_once(reported, [] {
            std::cout << "asset_gen: cannot open the font " << kFontPath
                      << "; pictures get a plain built-in lettering instead" << std::endl;
        });
    }
    return font;
}

LineInk renderLine(const std::string& text, float px, float outline) {
    auto cps = decodeUtf8(text);
    FreeTypeFont& font = threadFont();
    return font.ok() ? font.render(cps, px, outline) : renderBlock(cps, px, outline);
}

float advanceOf(const std::string& text, float px) {
    auto cps = decodeUtf8(text);
    FreeTypeFont& font = threadFont();
    return font.ok() ? font.advanceWidth(cps, px) : cps.size() * 6 * blockDot(px) - blockDot(px);
}

// Horizontal extent of the inked columns of a mask.
std::pair<int, int> inkColumns(const Mask& m) {
    int x0 = m.width, x1 = -1;
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            if (m.v[static_cast<size_t>(y) * m.width + x] > 0.02f) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
            }
        }
    }
    return x1 < 0 ? std::pair{0, 0} : std::pair{x0, x1 + 1};
}

std::vector<std::string> wrapWords(const std::string& text, float width, float px) {
    std::vector<std::string> lines;
    std::istringstream paragraphs(text);
    std::string paragraph;
    while (std::getline(paragraphs, paragraph)) {
        std::istringstream words(paragraph);
        std::string word, line;
        while (words >> word) {
            std::string candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && advanceOf(candidate, px) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace

void watchSetLines(std::function<void(const SetLine&)> watcher) {
    lineWatcher = std::move(watcher);
}

bool fontAvailable() {
    return threadFont().ok();
}

TextSize measureText(const std::string& text, float px) {
    return {advanceOf(text, px), px * kCapRatio, px * 1.17f};
}

float fitTextSize(const std::string& text, float width, float height, float maxSize, float outline) {
    float size = std::min(maxSize, (height - 2 * outline) / kCapRatio);
    float w = advanceOf(text, size) + 2 * outline;
    if (w > width && w > 0) {
        size *= width / w;
        // Outline and kerning do not scale with the size; settle with a second look.
        while (size > 4 && advanceOf(text, size) + 2 * outline > width) {
            size *= 0.97f;
        }
    }
    return size;
}

float drawText(Canvas& canvas, const std::string& text, Vec2 anchor, float px, const TextStyle& style,
               float maxWidth, Align align) {
    if (maxWidth > 0) {
        px = std::min(px, fitTextSize(text, maxWidth, 1e6f, px, style.outline));
    }
    LineInk ink = renderLine(text, px, style.outline);
    auto [ix0, ix1] = inkColumns(ink.outline.width > 0 && style.outline > 0 ? ink.outline : ink.fill);
    float inkWidth = static_cast<float>(ix1 - ix0);
    float left = align == Align::Left    ? anchor.x
                 : align == Align::Right ? anchor.x - inkWidth
                                         : anchor.x - inkWidth / 2;
    int ox = align == Align::Pen ? static_cast<int>(std::lround(anchor.x)) - ink.ox
                                 : static_cast<int>(std::lround(left)) - ix0;
    float baseline = anchor.y + ink.capHeight / 2;
    int oy = static_cast<int>(std::lround(baseline)) - ink.oy;
    if (lineWatcher) {
        lineWatcher({text, px, ink.fill, ink.ox, ink.oy, ox, oy, canvas.width(), canvas.height()});
    }

    if (style.glow > 0) {
        Mask halo(canvas.width(), canvas.height());
        const Mask& src = style.outline > 0 ? ink.outline : ink.fill;
        for (int y = 0; y < src.height; ++y) {
            for (int x = 0; x < src.width; ++x) {
                int cx = ox + x, cy = oy + y;
                if (cx >= 0 && cy >= 0 && cx < halo.width && cy < halo.height) {
                    halo.ref(cx, cy) = src.at(x, y);
                }
            }
        }
        glowMask(canvas, std::move(halo), style.glowColour, style.glow);
    }
    if (style.shadow > 0) {
        canvas.drawMask(style.outline > 0 ? ink.outline : ink.fill, ox, oy + static_cast<int>(style.shadow),
                        style.shadowColour);
    }
    if (style.outline > 0) {
        canvas.drawMask(ink.outline, ox, oy, style.ink);
    }
    float split = baseline - ink.capHeight + ink.capHeight * style.shadeFrom;
    for (int y = 0; y < ink.fill.height; ++y) {
        float t = style.shade.a > 0 ? std::clamp(oy + y + 0.5f - split, 0.0f, 1.0f) * style.shade.a : 0.0f;
        Rgba colour = mix(style.fill, withAlpha(style.shade, style.fill.a), t);
        for (int x = 0; x < ink.fill.width; ++x) {
            float c = ink.fill.v[static_cast<size_t>(y) * ink.fill.width + x];
            if (c > 0) {
                canvas.blend(ox + x, oy + y, colour, c);
            }
        }
    }
    return px;
}

float drawParagraph(Canvas& canvas, const std::string& text, Bounds box, float px, const TextStyle& style,
                    float lineSpacing, Align align) {
    float width = box.x1 - box.x0 - 2 * style.outline;
    float capHeight = px * kCapRatio;
    float y = box.y0 + capHeight / 2;
    float x = align == Align::Left    ? box.x0 + style.outline
              : align == Align::Right ? box.x1 - style.outline
                                      : (box.x0 + box.x1) / 2;
    float last = y;
    for (const std::string& line : wrapWords(text, width, px)) {
        if (!line.empty()) {
            drawText(canvas, line, {x, y}, px, style, width, align);
        }
        last = y;
        y += px * lineSpacing;
    }
    return last + capHeight / 2 + px * 0.25f;
}

} // namespace assetgen
