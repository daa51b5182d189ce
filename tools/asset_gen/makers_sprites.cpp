// Sprites drawn in the arena: tank parts, bullets, effects, particles and arena pieces.
#include "tools/asset_gen/makers.hpp"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

// The frame for one cell of a sheet: local point `centre` lands in the middle of cell `i`.
Xf cellFrame(const Canvas& c, int columns, int i, Vec2 centre, float scale) {
    float cellW = static_cast<float>(c.width()) / columns;
    Xf xf{{cellW * (i + 0.5f), c.height() * 0.5f}, scale, 0};
    xf.origin = xf.origin - (xf.p(centre) - xf.origin);
    return xf;
}

// "P1" .. "P4" (built by appending, which keeps GCC 12's -Wrestrict false alarm away).
std::string playerLabel(int player) {
    std::string label = "P";
    label += std::to_string(player + 1);
    return label;
}

// A unit frame: one unit spans the canvas width, origin in the middle.
Xf unitFrame(const Canvas& c) {
    return {{c.width() * 0.5f, c.height() * 0.5f}, static_cast<float>(c.width()), 0};
}

} // namespace

void makeBody(Canvas& c) {
    // The quad is 1.28 x 1.44 tank units around (0, 1.0).
    drawBody(c, fitFrame(c, {0, 1.0f}, 1.28f));
}

void makeEyes(Canvas& c) {
    for (int i = 0; i < 4; ++i) {
        drawEyes(c, cellFrame(c, 4, i, {0, 1.16f}, c.width() / 4 / 0.9f), i);
    }
}

void makeFace(Canvas& c, Character who) {
    drawFace(c, fitFrame(c, {0, 0.92f}, 2.56f), who);
}

void makePortrait(Canvas& c, Character who) {
    Xf t{{c.width() * 0.5f, c.height() * 0.5f}, c.height() / 2.3f, 0};
    t.origin = t.origin - (t.p({0, 1.08f}) - t.origin);
    fillShape(c, box(t.p({0, 1.16f}), {t.len(0.52f), t.len(0.28f)}, t.len(0.2f)), rgb(0x2e2948));
    drawEyes(c, t, 0);
    drawFace(c, t, who);
}

void makeTracks(Canvas& c, TrackKind kind, bool jumping) {
    float scale = c.width() / 3 / 2.56f;
    for (int i = 0; i < 3; ++i) {
        drawTrack(c, cellFrame(c, 3, i, {0, 0}, scale), kind, i, jumping);
    }
}

void makeBarrel(Canvas& c, BarrelKind kind) {
    drawBarrel(c, fitFrame(c, {0, 0}, 0.64f), kind);
}

void makeAimingArrow(Canvas& c) {
    Xf xf = unitFrame(c);
    Shape arrow = polygon(mapped(xf, {{0, 0.42f},
                                      {0.38f, 0.02f},
                                      {0.17f, 0.02f},
                                      {0.17f, -0.38f},
                                      {-0.17f, -0.38f},
                                      {-0.17f, 0.02f},
                                      {-0.38f, 0.02f}}));
    // White, so the player's colour tints it.
    paint(c, offset(arrow, -xf.len(0.01f)),
          {.fill = kWhite, .shade = rgb(0xcfcbe0), .shadeDepth = xf.len(0.08f), .outline = xf.len(0.07f)});
}

void makePickUpAura(Canvas& c) {
    // Four frames of a white halo with sparkles circling the tank; the game tints it per pick-up.
    for (int i = 0; i < 4; ++i) {
        Xf xf =
            cellFrame(c, 4, i, {0, 0},
                      c.width() / 4 /
                          3.84f); // Inside the cell (3.84 x 3.12 units) with room for the glow at every edge.
        Mask soft = shapeMask(c.width(), c.height(), ellipse(xf.p({0, 0}), xf.len(1.35f), xf.len(1.05f)));
        for (float& v : soft.v) {
            v *= 0.45f;
        }
        glowMask(c, std::move(soft), withAlpha(kWhite, 0.55f), static_cast<int>(xf.len(0.3f)));
        Shape halo = ellipse(xf.p({0, 0}), xf.len(1.45f + 0.04f * (i % 2)), xf.len(1.15f + 0.04f * (i % 2)));
        fillShape(c, subtract(halo, offset(halo, -xf.len(0.06f))), withAlpha(kWhite, 0.7f));
        for (int k = 0; k < 8; ++k) {
            float a = (k * 45.0f + i * 11.25f) * kPi / 180.0f;
            Vec2 at{1.45f * std::cos(a), 1.15f * std::sin(a)};
            float r = (k % 2 == 0 ? 0.22f : 0.14f) * (i % 2 == k % 2 ? 1.0f : 0.8f);
            paint(c, star(xf.p(at), xf.len(r), xf.len(r * 0.35f), 4, i * 11.25f),
                  {.fill = kWhite, .outline = xf.len(0.035f), .ink = withAlpha(kInk, 0.6f)});
        }
    }
}

void makeIndicator(Canvas& c, int player) {
    Xf xf = unitFrame(c);
    Shape pin =
        unite(circle(xf.p({0, 0.1f}), xf.len(0.33f)),
              offset(polygon(mapped(xf, {{-0.24f, -0.05f}, {0.24f, -0.05f}, {0, -0.4f}})), xf.len(0.03f)));
    paint(c, pin, toon(kPlayerColours[player], xf.len(0.05f), xf.len(0.06f)));
    TextStyle t = titleText(xf.len(0.035f));
    drawText(c, playerLabel(player), xf.p({0, 0.1f}), xf.len(0.33f), t, xf.len(0.56f));
}

void makePlayerNumber(Canvas& c, int player) {
    Xf xf{{c.width() * 0.5f, c.height() * 0.5f}, static_cast<float>(c.height()), 0};
    paint(c, circle(xf.p({0, 0}), xf.len(0.43f)), toon(kWhite, xf.len(0.04f), 0));
    paint(c, circle(xf.p({0, 0}), xf.len(0.36f)), toon(kPlayerColours[player], 0, xf.len(0.06f)));
    drawText(c, playerLabel(player), xf.p({0, 0}), xf.len(0.36f), titleText(xf.len(0.035f)), xf.len(0.62f));
}

void makeComputerTag(Canvas& c) {
    // A dark plate with a gold rim that hangs from the badge's lower edge.
    const float w = static_cast<float>(c.width());
    const float h = static_cast<float>(c.height());
    const float line = h * 0.07f;
    drawPanel(c, {line, line, w - line, h - line}, rgb(0x2f2747), kGold, h * 0.4f, line);
    TextStyle t = titleText(line * 0.7f);
    t.fill = rgb(0xfff066);
    t.shade = kGold;
    drawText(c, "CPU", {w * 0.5f, h * 0.5f}, h * 0.6f, t, w * 0.76f);
}

void makeBullet(Canvas& c, BulletKind kind) {
    drawBullet(c, unitFrame(c), kind);
}

void makeRocketBody(Canvas& c) {
    // A fat cartoon rocket pointing along +x, with its exhaust behind it.
    Xf xf = unitFrame(c);
    Shape flame = unite(ellipse(xf.p({-0.3f, 0}), xf.len(0.1f), xf.len(0.12f)),
                        polygon(mapped(xf, {{-0.3f, 0.12f}, {-0.48f, 0}, {-0.3f, -0.12f}})));
    paint(c, flame, toon(rgb(0xff8a2a), xf.len(0.02f), xf.len(0.03f)));
    fillShape(c, ellipse(xf.p({-0.32f, 0}), xf.len(0.06f), xf.len(0.06f)), rgb(0xffe066));
    for (float s : {-1.0f, 1.0f}) {
        paint(c,
              polygon(mapped(
                  xf, {{-0.12f, 0.1f * s}, {-0.3f, 0.3f * s}, {-0.3f, 0.12f * s}, {-0.22f, 0.05f * s}})),
              toon(rgb(0xb83a2e), xf.len(0.02f), xf.len(0.03f)));
    }
    Shape body = unite(capsule(xf.p({-0.25f, 0}), xf.p({0.18f, 0}), xf.len(0.17f)),
                       polygon(mapped(xf, {{0.16f, 0.168f}, {0.45f, 0}, {0.16f, -0.168f}})));
    paint(c, body, toon(rgb(0xe84a3c), xf.len(0.022f), xf.len(0.05f)));
    fillShape(c,
              intersect(offset(body, -xf.len(0.004f)), box(xf.p({-0.08f, 0}), {xf.len(0.04f), xf.len(0.3f)})),
              kCream);
    fillShape(c,
              intersect(offset(body, -xf.len(0.004f)),
                        polygon(mapped(xf, {{0.3f, 0.2f}, {0.5f, 0}, {0.3f, -0.2f}}))),
              rgb(0xdedbea));
    paint(c, circle(xf.p({0.1f, 0.02f}), xf.len(0.075f)), toon(rgb(0x9fe3ff), xf.len(0.02f), xf.len(0.02f)));
    fillShape(c, circle(xf.p({0.08f, 0.05f}), xf.len(0.022f)), kWhite);
}

void makeRocketHead(Canvas& c) {
    Xf xf = unitFrame(c);
    paint(c, polygon(mapped(xf, {{-0.3f, 0.3f}, {0.38f, 0}, {-0.3f, -0.3f}})),
          toon(rgb(0xdedbea), xf.len(0.05f), xf.len(0.06f)));
    fillShape(c, box(xf.p({-0.2f, 0}), {xf.len(0.05f), xf.len(0.24f)}), rgb(0xe84a3c));
}

void makeRocketWarning(Canvas& c) {
    // A long danger band along the rocket's path; the arrows point the way it will come.
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    Shape band = box({w / 2, h / 2}, {w / 2 - 6, h * 0.4f}, h * 0.12f);
    paint(c, band, {.fill = withAlpha(rgb(0xe8383c), 0.8f), .outline = 5, .ink = withAlpha(kInk, 0.9f)});
    for (float x = h * 0.4f; x < w - h * 0.4f; x += h * 0.75f) {
        Shape chevron = stroke({{x, h * 0.28f}, {x + h * 0.22f, h * 0.5f}, {x, h * 0.72f}}, h * 0.07f);
        paint(c, chevron, {.fill = rgb(0xffe14d), .outline = 3});
    }
    for (float x : {w * 0.2f, w * 0.5f, w * 0.8f}) {
        paint(c, circle({x, h * 0.5f}, h * 0.24f), toon(rgb(0xffe14d), 4, 0));
        drawText(c, "!", {x, h * 0.5f}, h * 0.36f, {.fill = kInk});
    }
}

void makeArtilleryWarning(Canvas& c) {
    Xf xf = unitFrame(c);
    glow(c, circle(xf.p({0, -0.02f}), xf.len(0.34f)), withAlpha(rgb(0xff9f1c), 0.7f), int(xf.len(0.06f)));
    Shape sign = offset(polygon(mapped(xf, {{0, 0.36f}, {0.38f, -0.3f}, {-0.38f, -0.3f}})), xf.len(0.05f));
    paint(c, sign, toon(rgb(0xffd23a), xf.len(0.05f), xf.len(0.06f)));
    fillShape(c, capsule(xf.p({0, 0.16f}), xf.p({0, -0.08f}), xf.len(0.045f)), kInk);
    fillShape(c, circle(xf.p({0, -0.2f}), xf.len(0.05f)), kInk);
}

void makeExplosion(Canvas& c) {
    drawExplosion(c, unitFrame(c));
}

void makeCrate(Canvas& c) {
    drawCrate(c, unitFrame(c));
}

void makePickup(Canvas& c, PickupKind kind) {
    drawPickup(c, unitFrame(c), kind);
}

void makeStarParticle(Canvas& c) {
    // White, so each player's colour tints the knock-out stars.
    Xf xf = unitFrame(c);
    paint(c, offset(star(xf.p({0, -0.02f}), xf.len(0.4f), xf.len(0.18f), 5), xf.len(0.03f)),
          {.fill = kWhite, .shade = rgb(0xd8d4e6), .shadeDepth = xf.len(0.08f), .outline = xf.len(0.05f)});
}

void makeSmokeParticle(Canvas& c) {
    Xf xf = unitFrame(c);
    Mask puff = shapeMask(
        c.width(), c.height(),
        unite({circle(xf.p({-0.12f, -0.04f}), xf.len(0.2f)), circle(xf.p({0.12f, -0.06f}), xf.len(0.18f)),
               circle(xf.p({0.0f, 0.1f}), xf.len(0.2f))}));
    glowMask(c, puff, withAlpha(rgb(0xb8b2c8), 0.5f), int(xf.len(0.08f)));
    paint(c,
          unite({circle(xf.p({-0.12f, -0.04f}), xf.len(0.2f)), circle(xf.p({0.12f, -0.06f}), xf.len(0.18f)),
                 circle(xf.p({0.0f, 0.1f}), xf.len(0.2f))}),
          {.fill = withAlpha(rgb(0xf2eff8), 0.85f),
           .shade = rgb(0xc9c3d8),
           .shadeDepth = xf.len(0.1f),
           .opacity = 0.9f});
}

void makeBlackholeParticle(Canvas& c) {
    Xf xf = unitFrame(c);
    glow(c, circle(xf.p({0, 0}), xf.len(0.12f)), withAlpha(kWhite, 0.8f), int(xf.len(0.15f)));
    fillShape(c, star(xf.p({0, 0}), xf.len(0.4f), xf.len(0.07f), 4, 45), withAlpha(kWhite, 0.9f));
    fillShape(c, circle(xf.p({0, 0}), xf.len(0.1f)), kWhite);
}

void makeExpulsionParticle(Canvas& c) {
    Xf xf = unitFrame(c);
    glow(c, ring(xf.p({0, 0}), xf.len(0.28f), xf.len(0.08f)), withAlpha(kWhite, 0.7f), int(xf.len(0.1f)));
    fillShape(c, ring(xf.p({0, 0}), xf.len(0.28f), xf.len(0.08f)), withAlpha(kWhite, 0.95f));
}

void makeBox(Canvas& c) {
    // Tinted by whatever uses it (podium columns, platform plates, charge bar, respawn beam), so
    // the body stays near white and keeps the tint. It is shaded like the rest of the art, mostly
    // from top to bottom: a bright top, a darker base and an ink edge. A platform plate stretches
    // it twenty times wider than tall, so the side edges and rounded corners stay thin: on a
    // podium column they part it from its neighbour, on a plate they join the platform's rim.
    const float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    const Rgba body = rgb(0xebe7e0);
    const Rgba base = shadeOf(body, 0.76f);
    for (int y = 0; y < c.height(); ++y) {
        float t = (y + 0.5f) / h;
        Rgba row = mix(body, shadeOf(body, 0.95f), t);
        row = mix(row, kWhite, std::clamp((0.13f - t) * h * 0.5f, 0.0f, 1.0f));
        row = mix(row, base, std::clamp((t - 0.8f) * h * 0.5f, 0.0f, 1.0f));
        for (int x = 0; x < c.width(); ++x) {
            c.ref(x, y) = row;
        }
    }
    // Ink outside the rounded inner box (thin at the sides, thicker at top and bottom), and
    // nothing outside the rounded outer one.
    Shape inside = box({w / 2, h / 2}, {w / 2 - w * 0.018f, h / 2 - h * 0.035f}, h * 0.05f);
    Shape outside = box({w / 2, h / 2}, {w / 2, h / 2}, h * 0.08f);
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x) {
            Vec2 p{x + 0.5f, y + 0.5f};
            c.ref(x, y) = mix(c.at(x, y), kInk, std::clamp(inside.distance(p) + 0.5f, 0.0f, 1.0f));
            c.erase(x, y, std::clamp(outside.distance(p) + 0.5f, 0.0f, 1.0f));
        }
    }
}

void makeBlackBox(Canvas& c) {
    c.fill(kInk);
}

void makePlatform(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    Look look = toon(rgb(0xf4ecdc), 8, h * 0.12f);
    look.fillAt = verticalGradient(rgb(0xfffaf0), rgb(0xe6dccb), h * 0.2f, h * 0.9f);
    paint(c, box({w / 2, h / 2}, {w / 2 - 10, h / 2 - 10}, h * 0.2f), look);
    fillShape(c, box({w / 2, h * 0.22f}, {w / 2 - 24, h * 0.05f}, h * 0.05f), withAlpha(kWhite, 0.8f));
}

void makeStatsPanel(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    Look look;
    look.fillAt = verticalGradient(withAlpha(rgb(0x3a2d5c), 0.78f), withAlpha(rgb(0x241a3a), 0.82f), 0, h);
    look.outline = 4;
    look.ink = withAlpha(kWhite, 0.85f);
    paint(c, box({w / 2, h / 2}, {w / 2 - 8, h / 2 - 8}, h * 0.28f), look);
    fillShape(c, box({w / 2, h * 0.16f}, {w / 2 - 30, h * 0.035f}, h * 0.03f), withAlpha(kWhite, 0.18f));
}

void makeBlackOverlay(Canvas& c) {
    c.fill(rgb(0x000000));
}

void makeGameIcon(Canvas& c) {
    float w = static_cast<float>(c.width());
    Look tile = toon(rgb(0x7fc8f0), w * 0.03f, w * 0.06f);
    tile.fillAt = verticalGradient(rgb(0x9fdcff), rgb(0xffd9b8), w * 0.1f, w * 0.9f);
    paint(c, box({w / 2, w / 2}, {w * 0.45f, w * 0.45f}, w * 0.18f), tile);
    Xf t{{w * 0.5f, w * 0.78f}, w / 3.3f, 0};
    drawTankFigure(c, t, {.who = Character::Vantu, .track = TrackKind::Rainbow, .turretDegrees = 25});
}

void makeCrackMap(Canvas& c, unsigned seed) {
    // Height field of V-shaped grooves along branching random cracks, turned into normals.
    int w = c.width(), h = c.height();
    float unit = static_cast<float>(h); // the picture is one platform-height tall
    std::vector<float> height(static_cast<size_t>(w) * h, 0.0f);
    unsigned state = seed * 2654435761u + 12345u;
    auto random = [&]() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0f;
    };
    auto groove = [&](Vec2 a, Vec2 b, float halfWidth, float depth) {
        int x0 = std::max(0, int(std::min(a.x, b.x) - halfWidth - 1)),
            x1 = std::min(w - 1, int(std::max(a.x, b.x) + halfWidth + 1));
        int y0 = std::max(0, int(std::min(a.y, b.y) - halfWidth - 1)),
            y1 = std::min(h - 1, int(std::max(a.y, b.y) + halfWidth + 1));
        Shape seg = capsule(a, b, 0);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                float d = seg.distance({x + 0.5f, y + 0.5f});
                if (d < halfWidth) {
                    float& v = height[static_cast<size_t>(y) * w + x];
                    v = std::min(v, -depth * (1.0f - d / halfWidth));
                }
            }
        }
    };
    struct Walker {
        Vec2 at;
        float angle;
        float length;
        float width;
    };
    std::vector<Walker> walkers;
    // Little bursts of cracks spread evenly, each a few jagged arms that fork and thin out.
    int bursts = std::max(2, static_cast<int>(w / unit * 2.2f));
    for (int i = 0; i < bursts; ++i) {
        Vec2 at{(i + 0.2f + random() * 0.6f) * w / bursts, h * (0.2f + random() * 0.6f)};
        int arms = 3 + static_cast<int>(random() * 3);
        float turn = random() * 360.0f;
        for (int a = 0; a < arms; ++a) {
            walkers.push_back({at, turn + a * 360.0f / arms + (random() - 0.5f) * 40.0f,
                               unit * (0.35f + random() * 0.5f), unit * (0.026f + random() * 0.012f)});
        }
    }
    while (!walkers.empty()) {
        Walker wk = walkers.back();
        walkers.pop_back();
        float step = unit * 0.06f;
        float heading = wk.angle;
        for (float done = 0; done < wk.length; done += step) {
            // Zig-zag around a slowly drifting heading, the way glass and stone split.
            heading += (random() - 0.5f) * 16.0f;
            float angle = heading + (random() - 0.5f) * 70.0f;
            Vec2 next = wk.at + rotated({step, 0}, angle);
            groove(wk.at, next, wk.width, 1.0f);
            wk.at = next;
            if (random() < 0.12f && wk.width > unit * 0.016f) {
                walkers.push_back({wk.at, heading + (random() < 0.5f ? -45.0f : 45.0f),
                                   (wk.length - done) * 0.6f, wk.width * 0.75f});
            }
            wk.width *= 0.975f;
        }
    }
    // Normal = (-dh/dx, -dh/dy, 1) with y pointing up in the texture; image rows grow downwards.
    float strength = unit * 0.02f;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            auto at = [&](int xx, int yy) {
                return height[static_cast<size_t>(std::clamp(yy, 0, h - 1)) * w + std::clamp(xx, 0, w - 1)];
            };
            float dx = (at(x + 1, y) - at(x - 1, y)) * 0.5f * strength;
            float dyDown = (at(x, y + 1) - at(x, y - 1)) * 0.5f * strength;
            float nx = -dx, ny = dyDown, nz = 1.0f;
            float len = std::sqrt(nx * nx + ny * ny + nz * nz);
            c.ref(x, y) = {0.5f + 0.5f * nx / len, 0.5f + 0.5f * ny / len, 0.5f + 0.5f * nz / len, 1.0f};
        }
    }
}

} // namespace assetgen
