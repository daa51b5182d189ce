// Text layout: one line centred on the owner, whatever its letters, with made-up glyph metrics
// so the rules are checked exactly.
#include "graphics/text.hpp"

#include <gtest/gtest.h>

#include <algorithm>

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

struct Extent {
    float left, right, bottom, top;
};

Extent extentOf(const std::vector<GlyphQuad>& quads) {
    Extent e{1e9f, -1e9f, 1e9f, -1e9f};
    for (const GlyphQuad& q : quads) {
        for (size_t v = 0; v < 6; ++v) {
            e.left = std::min(e.left, q.vertices[v * 4]);
            e.right = std::max(e.right, q.vertices[v * 4]);
            e.bottom = std::min(e.bottom, q.vertices[v * 4 + 1]);
            e.top = std::max(e.top, q.vertices[v * 4 + 1]);
        }
    }
    return e;
}

} // namespace

TEST(TextLayout, ShortAndLongLabelsCentreOnTheSamePoint) {
    GlyphTable glyphs = sampleGlyphs();
    std::vector<GlyphQuad> shortQuads;
    std::vector<GlyphQuad> longQuads;
    LayoutText(glyphs, "FPS : 0", shortQuads);
    LayoutText(glyphs, "FPS : 123", longQuads);
    EXPECT_EQ(shortQuads.size(), 5u); // the spaces move the pen but draw nothing
    EXPECT_EQ(longQuads.size(), 7u);

    // Centred on the sum of the advances: the pen runs from -half to +half.
    // "FPS : 0" advances 3*24 + 12 + 14 + 12 + 24 = 134 px.
    EXPECT_FLOAT_EQ(shortQuads.front().vertices[0], 2.0f - 67.0f);
    // The longer label grows by 48 px, 24 on each side.
    EXPECT_FLOAT_EQ(longQuads.front().vertices[0], shortQuads.front().vertices[0] - 24.0f);
    Extent s = extentOf(shortQuads);
    Extent l = extentOf(longQuads);
    EXPECT_FLOAT_EQ(l.right - s.right, 24.0f);
    EXPECT_FLOAT_EQ(s.left - l.left, 24.0f);

    // Vertically: capitals sit from -half of 'A' to +half of 'A'.
    EXPECT_FLOAT_EQ(s.bottom, -15.0f);
    EXPECT_FLOAT_EQ(s.top, 15.0f);
}

TEST(TextLayout, QuadsRunTopLeftFirstWithTheGlyphUpright) {
    GlyphTable glyphs = sampleGlyphs();
    std::vector<GlyphQuad> quads;
    LayoutText(glyphs, "A", quads);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].textureId, static_cast<uint32_t>('A'));
    // x = 2 - 12, yBottom = -(30 - 30) - 15, yTop = yBottom + 30, xRight = x + 20.
    const std::array<float, 24> expected{-10, 15, 0, 0, -10, -15, 0, 1, 10, -15, 1, 1,
                                         -10, 15, 0, 0, 10,  -15, 1, 1, 10, 15,  1, 0};
    EXPECT_EQ(quads[0].vertices, expected);
}

TEST(TextLayout, LowerCaseSharesTheBaselineOfCapitals) {
    GlyphTable glyphs = sampleGlyphs();
    std::vector<GlyphQuad> upper;
    std::vector<GlyphQuad> lower;
    LayoutText(glyphs, "ACE", upper);
    LayoutText(glyphs, "ace", lower);
    // The baseline is at -15 for both: vertical centring uses 'A' only.
    EXPECT_FLOAT_EQ(extentOf(upper).bottom, -15.0f);
    EXPECT_FLOAT_EQ(extentOf(lower).bottom, -15.0f);
    EXPECT_FLOAT_EQ(extentOf(lower).top, 5.0f);
    std::vector<GlyphQuad> descender;
    LayoutText(glyphs, "p", descender);
    EXPECT_FLOAT_EQ(extentOf(descender).bottom, -25.0f);
}

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

TEST(TextLayout, WithoutAFontNothingIsLaidOut) {
    GlyphTable none;
    std::vector<GlyphQuad> quads;
    LayoutText(none, "FPS : 0", quads);
    EXPECT_TRUE(quads.empty());
}
