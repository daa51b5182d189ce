// The generator's lettering is the font's own: every line a picture sets is drawn again by
// FreeType alone, glyph by glyph, into a plain strip of the same size, and the two must agree, so
// no bar, dot or stroke is thinned or lost; and every line lands whole inside its picture.
#include "tools/asset_gen/manifest.hpp"
#include "tools/asset_gen/text.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <thread>

namespace {

using assetgen::Mask;
using assetgen::SetLine;

struct Seen {
    std::string picture;
    SetLine line;
};

// Every line of every picture, the pictures drawn on two threads as the generator does.
std::vector<Seen> everyLine() {
    std::vector<assetgen::PictureEntry> entries =
        assetgen::allPictures(assetgen::loadMapSet(std::string(GRUMBO_RESOURCES_DIR) + "/JsonData"));
    std::vector<Seen> halves[2];
    auto draw = [&](size_t half) {
        std::string current;
        assetgen::watchSetLines([&](const SetLine& line) { halves[half].push_back({current, line}); });
        for (size_t i = half; i < entries.size(); i += 2) {
            current = entries[i].path;
            assetgen::Canvas canvas(entries[i].width, entries[i].height);
            entries[i].draw(canvas);
        }
        assetgen::watchSetLines({});
    };
    std::thread other(draw, 1);
    draw(0);
    other.join();
    halves[0].insert(halves[0].end(), halves[1].begin(), halves[1].end());
    return halves[0];
}

std::vector<char32_t> codePoints(const std::string& s) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80 ? 0 : c < 0xe0 ? 1 : c < 0xf0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : c & (0x3f >> extra);
        for (int k = 1; k <= extra && i + k < s.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3f);
        }
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

// One glyph as the font draws it, and where it stands in the strip.
struct Glyph {
    char32_t cp = 0;
    int x0 = 0, y0 = 0;
    Mask ink;
};

class Font {
  public:
    Font() {
        if (FT_Init_FreeType(&library_) == 0 && FT_New_Face(library_, assetgen::kFontPath, 0, &face_) != 0) {
            face_ = nullptr;
        }
    }
    ~Font() {
        if (face_ != nullptr) {
            FT_Done_Face(face_);
        }
        FT_Done_FreeType(library_);
    }
    bool ok() const { return face_ != nullptr; }

    // The line's glyphs with the pen set at whole pixels along the font's own advances and kerning.
    std::vector<Glyph> set(const SetLine& line) {
        FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::max(1.0f, line.pixelSize) * 64), 72, 72);
        std::vector<Glyph> out;
        float pen = 0;
        FT_UInt previous = 0;
        for (char32_t cp : codePoints(line.text)) {
            const FT_UInt index = FT_Get_Char_Index(face_, cp);
            FT_Vector kern{0, 0};
            if (previous != 0 && FT_HAS_KERNING(face_)) {
                FT_Get_Kerning(face_, previous, index, FT_KERNING_UNFITTED, &kern);
            }
            pen += kern.x / 64.0f;
            previous = index;
            if (FT_Load_Glyph(face_, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_RENDER) != 0) {
                continue;
            }
            const FT_GlyphSlot slot = face_->glyph;
            const FT_Bitmap& bm = slot->bitmap;
            Glyph g{cp, line.penX + static_cast<int>(std::lround(pen)) + slot->bitmap_left,
                    line.baselineY - slot->bitmap_top,
                    Mask(static_cast<int>(bm.width), static_cast<int>(bm.rows))};
            for (int y = 0; y < g.ink.height; ++y) {
                for (int x = 0; x < g.ink.width; ++x) {
                    g.ink.ref(x, y) = bm.buffer[y * bm.pitch + x] / 255.0f;
                }
            }
            pen += slot->advance.x / 64.0f;
            out.push_back(std::move(g));
        }
        return out;
    }

  private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

std::string describe(const Seen& seen) {
    std::ostringstream out;
    out << seen.picture << ": \"" << seen.line.text << "\" at " << seen.line.pixelSize << " px";
    return out.str();
}

} // namespace

TEST(Lettering, EveryLineIsTheFontsOwnGlyphByGlyphAndLandsWholeInItsPicture) {
    if (!assetgen::fontAvailable()) {
        GTEST_SKIP() << "no TrueType font here; the block lettering stands in";
    }
    Font font;
    ASSERT_TRUE(font.ok());
    const std::vector<Seen> lines = everyLine();
    ASSERT_GT(lines.size(), 200u) << "the pictures set far more lines than that";
    int wrongGlyphs = 0, cutLines = 0;
    size_t glyphsChecked = 0;
    for (const Seen& seen : lines) {
        const SetLine& line = seen.line;
        // The plain strip: each glyph alone, where the pen puts it.
        const std::vector<Glyph> glyphs = font.set(line);
        Mask strip(line.fill.width, line.fill.height);
        for (const Glyph& g : glyphs) {
            for (int y = 0; y < g.ink.height; ++y) {
                for (int x = 0; x < g.ink.width; ++x) {
                    if (strip.at(g.x0 + x, g.y0 + y) < g.ink.at(x, y)) {
                        strip.ref(g.x0 + x, g.y0 + y) = g.ink.at(x, y);
                    }
                }
            }
        }
        // Compared within each glyph's own box, so a fault names its letter.
        for (size_t k = 0; k < glyphs.size(); ++k) {
            const Glyph& g = glyphs[k];
            float worst = 0;
            for (int y = g.y0; y < g.y0 + g.ink.height; ++y) {
                for (int x = g.x0; x < g.x0 + g.ink.width; ++x) {
                    worst = std::max(worst, std::fabs(line.fill.at(x, y) - strip.at(x, y)));
                }
            }
            ++glyphsChecked;
            if (worst > 0.02f && ++wrongGlyphs <= 8) {
                ADD_FAILURE() << describe(seen) << ": glyph " << k << " (U+" << std::hex
                              << static_cast<unsigned>(g.cp) << std::dec
                              << ") differs from the font's by up to " << worst;
            }
        }
        // Nothing inked outside the glyphs either.
        double stray = 0;
        for (int y = 0; y < line.fill.height; ++y) {
            for (int x = 0; x < line.fill.width; ++x) {
                stray += std::fabs(line.fill.at(x, y) - strip.at(x, y));
            }
        }
        if (stray > 0.02 * static_cast<double>(glyphs.size()) + 0.5 && ++wrongGlyphs <= 8) {
            ADD_FAILURE() << describe(seen) << ": ink differs from the font's by " << stray
                          << " pixels in all";
        }
        bool cut = false;
        for (int y = 0; y < line.fill.height && !cut; ++y) {
            for (int x = 0; x < line.fill.width && !cut; ++x) {
                const int cx = line.canvasX + x, cy = line.canvasY + y;
                cut = line.fill.at(x, y) > 0.02f &&
                      (cx < 0 || cy < 0 || cx >= line.canvasWidth || cy >= line.canvasHeight);
            }
        }
        if (cut && ++cutLines <= 8) {
            ADD_FAILURE() << describe(seen) << ": part of the line falls outside the " << line.canvasWidth
                          << " x " << line.canvasHeight << " picture";
        }
    }
    EXPECT_EQ(wrongGlyphs, 0) << "of " << glyphsChecked << " glyphs in " << lines.size() << " lines";
    EXPECT_EQ(cutLines, 0);
}
