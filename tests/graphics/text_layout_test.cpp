// Text layout with made-up glyph metrics, so the rules are checked exactly. Centring on the owner
// is checked on screen (text_gltest).
#include "graphics/text.hpp"

#include <gtest/gtest.h>

namespace {

// A monospaced-ish table: every glyph 20 px wide advancing 24 px; capitals 30 px tall on the
// baseline, 'a', 'c' and 'e' 20 px tall, 'p' 10 px below the baseline.
GlyphTable sampleGlyphs() {
    GlyphTable glyphs;
    auto add = [&](char c, int sizeX, int sizeY, int bearingX, int bearingY, unsigned advancePx) {
        glyphs[c] = Glyph{static_cast<uint32_t>(c), sizeX, sizeY, bearingX, bearingY, advancePx << 6};
    };
    for (char c : std::string("ACEFPS0123")) {
        add(c, 20, 30, 2, 30, 24);
    }
    for (char c : std::string("ace")) {
        add(c, 20, 20, 2, 20, 24);
    }
    add('p', 20, 30, 2, 20, 24);
    add(':', 6, 20, 4, 20, 14);
    add(' ', 0, 0, 0, 0, 12);
    return glyphs;
}

} // namespace

TEST(TextLayout, EmptyAndUnknownCharactersDrawNothing) {
    GlyphTable glyphs = sampleGlyphs();
    std::vector<GlyphQuad> quads{GlyphQuad{}};
    LayoutText(glyphs, "", quads);
    EXPECT_TRUE(quads.empty());

    const size_t known = glyphs.size();
    std::string high = "A";
    high += static_cast<char>(200);
    high += "A";
    LayoutText(glyphs, high, quads);
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(glyphs.size(), known + 1); // the byte above 127 now has an empty record
    EXPECT_EQ(glyphs[static_cast<char>(200)].advance, 0u);
    // ...which adds no width: the two capitals touch as if it were not there.
    EXPECT_FLOAT_EQ(quads[1].vertices[0] - quads[0].vertices[0], 24.0f);
}
