// The arena backgrounds, one scene per theme; a map's level-select preview is drawn on the same.
#include "drawing/arena_background.hpp"

#include "drawing/paint.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace drawing {

namespace {

constexpr float kPi = 3.14159265f;

// Rolling hills: everything below a curve made of two sines, filled column by column.
void hills(Canvas& c, float baseY, float amplitude, float waves, float phase, Rgba colour) {
    float w = static_cast<float>(c.width());
    for (int x = 0; x < c.width(); ++x) {
        float t = (x + 0.5f) / w;
        float top = baseY - amplitude * (0.6f * std::sin((t * waves + phase) * 2 * kPi) +
                                         0.4f * std::sin((t * waves * 2.3f + phase * 1.7f) * 2 * kPi));
        for (int y = std::max(0, static_cast<int>(top) - 1); y < c.height(); ++y) {
            c.blend(x, y, colour, std::clamp(y + 1.0f - top, 0.0f, 1.0f));
        }
    }
}

void cloud(Canvas& c, Vec2 at, float size, Rgba colour) {
    Shape s =
        unite({ellipse(at, size, size * 0.35f), circle(at + Vec2{-size * 0.35f, -size * 0.15f}, size * 0.38f),
               circle(at + Vec2{size * 0.2f, -size * 0.28f}, size * 0.45f)});
    fillShape(c, s, colour);
}

void meadow(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    gradientFill(c, rgb(0x8ec9ea), rgb(0xd9f0f2), 0, h * 0.7f);
    glow(c, circle({w * 0.8f, h * 0.2f}, h * 0.07f), withAlpha(rgb(0xfff6d0), 0.7f),
         static_cast<int>(h * 0.08f));
    fillShape(c, circle({w * 0.8f, h * 0.2f}, h * 0.07f), rgb(0xfff3c4));
    for (auto [x, y, s] : {std::array{0.15f, 0.18f, 0.09f}, std::array{0.45f, 0.1f, 0.07f},
                           std::array{0.62f, 0.3f, 0.08f}, std::array{0.3f, 0.38f, 0.06f}}) {
        cloud(c, {w * x, h * y}, w * s, withAlpha(kWhite, 0.75f));
    }
    hills(c, h * 0.68f, h * 0.05f, 1.6f, 0.1f, rgb(0xb4dcc0));
    hills(c, h * 0.78f, h * 0.06f, 2.2f, 0.55f, rgb(0x9dd0a8));
    hills(c, h * 0.9f, h * 0.04f, 3.0f, 0.3f, rgb(0x8ac496));
}

void canyon(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    gradientFill(c, rgb(0xf2a68f), rgb(0xffdcae), 0, h * 0.75f);
    glow(c, circle({w * 0.5f, h * 0.58f}, h * 0.16f), withAlpha(rgb(0xfff0c0), 0.6f),
         static_cast<int>(h * 0.1f));
    fillShape(c, circle({w * 0.5f, h * 0.58f}, h * 0.16f), withAlpha(rgb(0xfff2cc), 0.9f));
    auto mesa = [&](float x0, float x1, float top, Rgba colour) {
        float slope = (x1 - x0) * 0.08f;
        fillShape(c, polygon({{x0, h + 10}, {x0 + slope, top}, {x1 - slope, top}, {x1, h + 10}}), colour);
    };
    mesa(-40, w * 0.22f, h * 0.5f, rgb(0xe7a587));
    mesa(w * 0.7f, w * 1.05f, h * 0.44f, rgb(0xe7a587));
    mesa(w * 0.28f, w * 0.42f, h * 0.6f, rgb(0xe7a587));
    hills(c, h * 0.76f, h * 0.02f, 2.0f, 0.2f, rgb(0xdb9477));
    mesa(w * 0.05f, w * 0.3f, h * 0.66f, rgb(0xd58c70));
    mesa(w * 0.62f, w * 0.95f, h * 0.7f, rgb(0xd58c70));
    hills(c, h * 0.9f, h * 0.015f, 3.0f, 0.7f, rgb(0xc98066));
    for (auto [x, y, s] : {std::array{0.2f, 0.16f, 0.08f}, std::array{0.74f, 0.12f, 0.06f}}) {
        cloud(c, {w * x, h * y}, w * s, withAlpha(rgb(0xfff1e4), 0.6f));
    }
}

void starfall(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    gradientFill(c, rgb(0x2f2b63), rgb(0x6a5a9e), 0, h);
    // An aurora ribbon and a scatter of stars.
    for (int i = 0; i < 3; ++i) {
        std::vector<Vec2> pts;
        for (int k = 0; k <= 30; ++k) {
            float t = k / 30.0f;
            pts.push_back(
                {w * t, h * (0.3f + 0.05f * i) + h * 0.06f * std::sin((t * 1.5f + i * 0.2f) * 2 * kPi)});
        }
        glow(c, stroke(pts, h * 0.02f), withAlpha(i == 1 ? rgb(0x8ff0d0) : rgb(0xb98cff), 0.25f),
             static_cast<int>(h * 0.05f));
    }
    unsigned s = 7;
    auto rnd = [&]() {
        s = s * 1664525u + 1013904223u;
        return (s >> 8) / 16777216.0f;
    };
    for (int i = 0; i < 140; ++i) {
        Vec2 at{rnd() * w, rnd() * h * 0.75f};
        float r = h * (0.0012f + rnd() * 0.0025f);
        fillShape(c, circle(at, r), withAlpha(rgb(0xfff6dc), 0.4f + rnd() * 0.5f));
    }
    for (auto [x, y] : {std::array{0.2f, 0.2f}, std::array{0.6f, 0.12f}, std::array{0.85f, 0.35f}}) {
        fillShape(c, star({w * x, h * y}, h * 0.02f, h * 0.006f, 4), withAlpha(kWhite, 0.8f));
    }
    Shape moon =
        subtract(circle({w * 0.82f, h * 0.16f}, h * 0.075f), circle({w * 0.85f, h * 0.14f}, h * 0.065f));
    glow(c, moon, withAlpha(rgb(0xfff6dc), 0.5f), static_cast<int>(h * 0.05f));
    fillShape(c, moon, rgb(0xfff3d0));
    // Distant floating islands.
    auto island = [&](Vec2 at, float size, Rgba colour) {
        fillShape(c,
                  unite(ellipse(at, size, size * 0.16f), polygon({{at.x - size, at.y},
                                                                  {at.x + size, at.y},
                                                                  {at.x + size * 0.1f, at.y + size * 0.7f}})),
                  colour);
    };
    island({w * 0.15f, h * 0.55f}, w * 0.09f, rgb(0x4b4584));
    island({w * 0.7f, h * 0.62f}, w * 0.12f, rgb(0x4b4584));
    island({w * 0.42f, h * 0.74f}, w * 0.07f, rgb(0x433d78));
    hills(c, h * 0.92f, h * 0.03f, 2.0f, 0.4f, rgb(0x3f3a72));
}

// A warm shallow sea: a low sun over the water, a ring of islands with palms on the horizon.
void lagoon(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    gradientFill(c, rgb(0x9fdcec), rgb(0xe6f6ee), 0, h * 0.6f);
    glow(c, circle({w * 0.3f, h * 0.26f}, h * 0.08f), withAlpha(rgb(0xfff4c8), 0.7f),
         static_cast<int>(h * 0.09f));
    fillShape(c, circle({w * 0.3f, h * 0.26f}, h * 0.08f), rgb(0xfff1c0));
    for (auto [x, y, s] : {std::array{0.62f, 0.14f, 0.08f}, std::array{0.86f, 0.3f, 0.06f}}) {
        cloud(c, {w * x, h * y}, w * s, withAlpha(kWhite, 0.7f));
    }
    // The sea, lighter where the sun shines on it, with a few slow bands of glitter.
    for (int y = static_cast<int>(h * 0.6f); y < c.height(); ++y) {
        float t = (y - h * 0.6f) / (h * 0.4f);
        Rgba row = mix(rgb(0x7ccfd6), rgb(0x5fb8c8), t);
        for (int x = 0; x < c.width(); ++x) {
            c.ref(x, y) = row;
        }
    }
    for (int i = 0; i < 14; ++i) {
        float y = h * (0.63f + i * 0.026f);
        float x = w * (0.3f + 0.12f * std::sin(i * 1.7f));
        fillShape(c, capsule({x - w * 0.05f, y}, {x + w * 0.05f, y}, h * 0.003f), withAlpha(kWhite, 0.35f));
    }
    auto island = [&](float x, float size) {
        fillShape(c, ellipse({w * x, h * 0.6f}, w * size, h * 0.035f), rgb(0xf3dca6));
        fillShape(c, ellipse({w * x, h * 0.592f}, w * size * 0.7f, h * 0.03f), rgb(0x8fcf95));
        // A palm: a bent trunk and a few fronds.
        Vec2 base{w * x + w * size * 0.2f, h * 0.585f};
        Vec2 top = base + Vec2{w * 0.012f, -h * 0.11f};
        fillShape(c, capsule(base, top, h * 0.006f), rgb(0xb48a62));
        for (float a : {-160.0f, -120.0f, -60.0f, -20.0f, 20.0f}) {
            Vec2 tip = top + rotated({h * 0.06f, 0}, a);
            fillShape(c, stroke({top, (top + tip) * 0.5f + Vec2{0, -h * 0.01f}, tip}, h * 0.008f),
                      rgb(0x6fbf7c));
        }
    };
    island(0.18f, 0.08f);
    island(0.77f, 0.06f);
    hills(c, h * 0.93f, h * 0.012f, 3.0f, 0.5f, withAlpha(rgb(0xf6e6bf), 0.8f));
}

// Cold blue peaks under a pale sky with a thin curtain of light.
void glacier(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    gradientFill(c, rgb(0xb3cdf0), rgb(0xeef4fb), 0, h * 0.7f);
    for (int i = 0; i < 2; ++i) {
        std::vector<Vec2> pts;
        for (int k = 0; k <= 30; ++k) {
            float t = k / 30.0f;
            pts.push_back(
                {w * t, h * (0.16f + 0.06f * i) + h * 0.04f * std::sin((t * 1.2f + i * 0.3f) * 2 * kPi)});
        }
        glow(c, stroke(pts, h * 0.015f), withAlpha(i == 0 ? rgb(0xb9f3e4) : rgb(0xd6c8ff), 0.3f),
             static_cast<int>(h * 0.04f));
    }
    auto peaks = [&](float baseY, float height, int count, float phase, Rgba rock, Rgba snow) {
        for (int i = 0; i <= count; ++i) {
            float x = w * (i + phase) / count;
            float peak = baseY - height * (0.7f + 0.3f * std::sin(i * 2.3f + phase * 5.0f));
            float half = w / count * 0.75f;
            fillShape(c, polygon({{x - half, h + 10}, {x, peak}, {x + half, h + 10}}), rock);
            float cap = (baseY - peak) * 0.3f;
            fillShape(c,
                      polygon({{x - half * cap / (h + 10 - peak), peak + cap},
                               {x, peak},
                               {x + half * cap / (h + 10 - peak), peak + cap}}),
                      snow);
        }
    };
    peaks(h * 0.7f, h * 0.32f, 5, 0.1f, rgb(0xa9bde0), rgb(0xf4f8ff));
    peaks(h * 0.82f, h * 0.22f, 7, 0.55f, rgb(0x93aad4), rgb(0xeaf1fc));
    hills(c, h * 0.9f, h * 0.02f, 2.5f, 0.3f, rgb(0xdfe9f7));
    unsigned s = 23;
    auto rnd = [&]() {
        s = s * 1664525u + 1013904223u;
        return (s >> 8) / 16777216.0f;
    };
    for (int i = 0; i < 90; ++i) {
        fillShape(c, circle({rnd() * w, rnd() * h}, h * (0.002f + rnd() * 0.003f)), withAlpha(kWhite, 0.55f));
    }
}

// Dusk over a sleeping volcano: a warm haze, a soft plume, embers drifting up.
void ember(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    gradientFill(c, rgb(0x7a5a8f), rgb(0xf5b58f), 0, h * 0.75f);
    Vec2 crater{w * 0.62f, h * 0.48f};
    glow(c, circle(crater, h * 0.05f), withAlpha(rgb(0xffc27a), 0.6f), static_cast<int>(h * 0.12f));
    for (int i = 0; i < 5; ++i) {
        Vec2 at = crater + Vec2{w * (0.02f * i - 0.03f), -h * (0.08f + 0.07f * i)};
        fillShape(c, circle(at, h * (0.05f + 0.018f * i)), withAlpha(rgb(0x9c7b9c), 0.35f));
    }
    fillShape(c,
              polygon({{crater.x - w * 0.34f, h + 10},
                       {crater.x - w * 0.045f, crater.y},
                       {crater.x + w * 0.045f, crater.y},
                       {crater.x + w * 0.38f, h + 10}}),
              rgb(0x8c5a6e));
    fillShape(c, ellipse({crater.x, crater.y + h * 0.004f}, w * 0.04f, h * 0.01f), rgb(0xffb26a));
    hills(c, h * 0.78f, h * 0.03f, 2.0f, 0.15f, rgb(0xa86a6e));
    hills(c, h * 0.9f, h * 0.025f, 3.0f, 0.6f, rgb(0x8f5763));
    unsigned s = 41;
    auto rnd = [&]() {
        s = s * 1664525u + 1013904223u;
        return (s >> 8) / 16777216.0f;
    };
    for (int i = 0; i < 40; ++i) {
        Vec2 at{crater.x + (rnd() - 0.5f) * w * 0.5f, crater.y - rnd() * h * 0.4f};
        fillShape(c, circle(at, h * (0.002f + rnd() * 0.003f)),
                  withAlpha(rgb(0xffd79a), 0.4f + rnd() * 0.4f));
    }
}

// High above the weather: a sea of clouds below, the sky deepening upwards.
void cloudtop(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    gradientFill(c, rgb(0x6f9ee0), rgb(0xf0e6f2), 0, h * 0.8f);
    glow(c, circle({w * 0.75f, h * 0.62f}, h * 0.1f), withAlpha(rgb(0xfff2d6), 0.6f),
         static_cast<int>(h * 0.12f));
    fillShape(c, circle({w * 0.75f, h * 0.62f}, h * 0.1f), rgb(0xfff4dc));
    for (auto [x, y, s] : {std::array{0.2f, 0.15f, 0.05f}, std::array{0.5f, 0.25f, 0.04f}}) {
        cloud(c, {w * x, h * y}, w * s, withAlpha(kWhite, 0.5f));
    }
    unsigned s = 5;
    auto rnd = [&]() {
        s = s * 1664525u + 1013904223u;
        return (s >> 8) / 16777216.0f;
    };
    for (int layer = 0; layer < 3; ++layer) {
        float y = h * (0.66f + layer * 0.11f);
        Rgba colour = mix(rgb(0xf8f0f6), rgb(0xe2dcef), layer / 2.0f);
        for (int i = 0; i < 12; ++i) {
            float x = w * (i / 11.0f) + (rnd() - 0.5f) * w * 0.06f;
            cloud(c, {x, y + (rnd() - 0.5f) * h * 0.03f}, w * (0.09f + rnd() * 0.04f), colour);
        }
        fillShape(c, box({w / 2, y + h * 0.1f}, {w, h * 0.08f}), colour);
    }
}

void plainBackground(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    gradientFill(c, rgb(0xb7b0de), rgb(0xe9dff2), 0, h);
    for (auto [x, y, r] : {std::array{0.2f, 0.3f, 0.12f}, std::array{0.75f, 0.22f, 0.09f},
                           std::array{0.55f, 0.6f, 0.15f}, std::array{0.1f, 0.75f, 0.08f}}) {
        fillShape(c, circle({w * x, h * y}, h * r), withAlpha(kWhite, 0.16f));
    }
    hills(c, h * 0.86f, h * 0.04f, 2.0f, 0.2f, rgb(0xc8bde6));
}

} // namespace

void makeArenaBackground(Canvas& c, const std::string& theme) {
    if (theme == "meadow") {
        meadow(c);
    } else if (theme == "canyon") {
        canyon(c);
    } else if (theme == "starfall") {
        starfall(c);
    } else if (theme == "lagoon") {
        lagoon(c);
    } else if (theme == "glacier") {
        glacier(c);
    } else if (theme == "ember") {
        ember(c);
    } else if (theme == "cloudtop") {
        cloudtop(c);
    } else {
        plainBackground(c);
    }
}

} // namespace drawing
