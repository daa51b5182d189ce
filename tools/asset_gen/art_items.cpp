// Bullets, pick-ups, the crate and the explosion.
#include "tools/asset_gen/art.hpp"

#include <cmath>

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

// Special bullets and pick-ups glow in their colour.
void halo(Canvas& c, const Xf& xf, float radius, Rgba colour) {
    glow(c, circle(xf.p({0, 0}), xf.len(radius)), withAlpha(colour, 0.75f), static_cast<int>(xf.len(0.12f)));
}

void glint(Canvas& c, const Xf& xf, Vec2 at, float r) {
    fillShape(c, ellipse(xf.p(at), xf.len(r), xf.len(r * 0.7f), 35), withAlpha(kWhite, 0.85f));
}

std::vector<Vec2> spiralArm(float turn, float fromR, float toR, float sweepDeg) {
    std::vector<Vec2> pts;
    for (int i = 0; i <= 16; ++i) {
        float f = i / 16.0f;
        float a = (turn + f * sweepDeg) * kPi / 180.0f;
        float r = fromR + (toR - fromR) * f;
        pts.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return pts;
}

} // namespace

Rgba colourOf(PickupKind kind) {
    switch (kind) {
    case PickupKind::Artillery:
        return rgb(0xff9f1c);
    case PickupKind::Expulsion:
        return rgb(0xf06eb4);
    case PickupKind::BlackHole:
        return rgb(0x8a4fe0);
    }
    return kWhite;
}

void drawBullet(Canvas& c, const Xf& xf, BulletKind kind) {
    float line = 0.065f;
    auto look = [&](Rgba fill) { return toon(fill, xf.len(line), xf.len(0.09f)); };
    switch (kind) {
    case BulletKind::Basic:
        paint(c, circle(xf.p({0, 0}), xf.len(0.34f)), look(rgb(0xffd23a)));
        glint(c, xf, {-0.12f, 0.12f}, 0.08f);
        break;
    case BulletKind::Exploding: {
        // A round bomb with a lit fuse.
        paint(c, box(xf.p({0.08f, 0.27f}), {xf.len(0.09f), xf.len(0.07f)}, xf.len(0.02f), xf.deg(-20)),
              look(rgb(0x6d6888)));
        paint(c, stroke(mapped(xf, {{0.12f, 0.33f}, {0.2f, 0.42f}, {0.3f, 0.4f}}), xf.len(0.025f)),
              {.fill = rgb(0x8a6a4a), .outline = xf.len(0.02f)});
        paint(c, circle(xf.p({-0.04f, -0.05f}), xf.len(0.33f)), look(rgb(0x3f3a5c)));
        paint(c, star(xf.p({0.32f, 0.4f}), xf.len(0.11f), xf.len(0.05f), 6),
              toon(rgb(0xffe45c), xf.len(0.03f), 0));
        fillShape(c,
                  intersect(ring(xf.p({-0.04f, -0.05f}), xf.len(0.25f), xf.len(0.07f)),
                            box(xf.p({-0.04f, -0.05f}), {xf.len(0.4f), xf.len(0.045f)})),
                  rgb(0xe8553a));
        glint(c, xf, {-0.16f, 0.08f}, 0.07f);
        break;
    }
    case BulletKind::Splitting:
        paint(c, circle(xf.p({0, 0}), xf.len(0.17f)), look(rgb(0x2fb3a0)));
        for (int i = 0; i < 3; ++i) {
            float a = (90.0f + i * 120.0f) * kPi / 180.0f;
            Vec2 at{0.19f * std::cos(a), 0.19f * std::sin(a)};
            paint(c, circle(xf.p(at), xf.len(0.2f)), look(rgb(0xffd23a)));
            glint(c, xf, {at.x - 0.06f, at.y + 0.06f}, 0.045f);
        }
        break;
    case BulletKind::Sticky: {
        Shape goo =
            unite({circle(xf.p({0, 0.02f}), xf.len(0.3f)), circle(xf.p({-0.2f, -0.14f}), xf.len(0.14f)),
                   capsule(xf.p({0.12f, -0.1f}), xf.p({0.15f, -0.36f}), xf.len(0.07f)),
                   capsule(xf.p({-0.05f, -0.15f}), xf.p({-0.06f, -0.3f}), xf.len(0.06f))});
        paint(c, goo, look(rgb(0x7ee04a)));
        glow(c, circle(xf.p({0.02f, 0.2f}), xf.len(0.07f)), withAlpha(rgb(0xff3b3b), 0.9f),
             int(xf.len(0.08f)));
        paint(c, circle(xf.p({0.02f, 0.2f}), xf.len(0.075f)), toon(rgb(0xff4040), xf.len(0.03f), 0));
        glint(c, xf, {-0.14f, 0.1f}, 0.06f);
        break;
    }
    case BulletKind::Ricochet: {
        // A bouncy rubber ball with a bright band.
        Shape ball = circle(xf.p({0, 0}), xf.len(0.35f));
        paint(c, ball, look(rgb(0x3fd0f0)));
        fillShape(
            c,
            intersect(offset(ball, -xf.len(0.01f)), box(xf.p({0, 0}), {xf.len(0.5f), xf.len(0.09f)}, 0, 35)),
            rgb(0xff5ca8));
        fillShape(c,
                  intersect(offset(ball, -xf.len(0.01f)),
                            box(xf.p({0, 0}), {xf.len(0.5f), xf.len(0.025f)}, 0, -55)),
                  withAlpha(kWhite, 0.7f));
        glint(c, xf, {-0.13f, 0.14f}, 0.07f);
        break;
    }
    case BulletKind::Sniper: {
        std::vector<Vec2> fin{
            {-0.28f, 0.05f}, {-0.44f, 0.2f}, {-0.4f, 0.0f}, {-0.44f, -0.2f}, {-0.28f, -0.05f}};
        paint(c, polygon(mapped(xf, fin)), look(rgb(0xe8553a)));
        Shape slug = unite(capsule(xf.p({-0.3f, 0}), xf.p({0.16f, 0}), xf.len(0.12f)),
                           polygon(mapped(xf, {{0.14f, 0.115f}, {0.44f, 0}, {0.14f, -0.115f}})));
        paint(c, slug, look(rgb(0xd9dceb)));
        fillShape(c, box(xf.p({-0.05f, 0}), {xf.len(0.04f), xf.len(0.11f)}), rgb(0xe8553a));
        break;
    }
    case BulletKind::BlackHole: {
        halo(c, xf, 0.32f, rgb(0xa66bff));
        Shape orb = circle(xf.p({0, 0}), xf.len(0.3f));
        Look l = look(rgb(0x2a1050));
        l.fillAt = radialGradient(xf.p({0, 0}), xf.len(0.3f), rgb(0x12061f), rgb(0x7b3fd1));
        paint(c, orb, l);
        for (int i = 0; i < 3; ++i) {
            paint(c, stroke(mapped(xf, spiralArm(i * 120.0f, 0.05f, 0.26f, 150)), xf.len(0.03f)),
                  {.fill = rgb(0xd7b8ff)});
        }
        break;
    }
    case BulletKind::Expulsion: {
        halo(c, xf, 0.32f, rgb(0xff7fd0));
        Look l = look(rgb(0xff6fc0));
        l.fillAt = radialGradient(xf.p({0, 0}), xf.len(0.3f), rgb(0xffd6f0), rgb(0xe0449c));
        paint(c, circle(xf.p({0, 0}), xf.len(0.3f)), l);
        for (float r : {0.1f, 0.2f}) {
            fillShape(c, ring(xf.p({0, 0}), xf.len(r), xf.len(0.035f)), withAlpha(kWhite, 0.9f));
        }
        break;
    }
    case BulletKind::Artillery: {
        halo(c, xf, 0.32f, rgb(0xffb347));
        Look l = look(rgb(0xff9f1c));
        l.fillAt = radialGradient(xf.p({0, 0}), xf.len(0.3f), rgb(0xffe0a0), rgb(0xf07a10));
        paint(c, circle(xf.p({0, 0}), xf.len(0.3f)), l);
        fillShape(c, ring(xf.p({0, 0}), xf.len(0.15f), xf.len(0.04f)), kInk);
        fillShape(c, box(xf.p({0, 0}), {xf.len(0.24f), xf.len(0.02f)}), kInk);
        fillShape(c, box(xf.p({0, 0}), {xf.len(0.02f), xf.len(0.24f)}), kInk);
        break;
    }
    }
}

void drawPickup(Canvas& c, const Xf& xf, PickupKind kind) {
    Rgba colour = colourOf(kind);
    halo(c, xf, 0.4f, shadeOf(colour, 1.3f));
    Look badge = toon(colour, xf.len(0.05f), xf.len(0.08f));
    badge.fillAt = radialGradient(xf.p({-0.1f, 0.1f}), xf.len(0.5f), shadeOf(colour, 1.35f), colour);
    paint(c, circle(xf.p({0, 0}), xf.len(0.4f)), badge);
    fillShape(c, ring(xf.p({0, 0}), xf.len(0.34f), xf.len(0.025f)), withAlpha(kWhite, 0.7f));
    Look icon = toon(kWhite, xf.len(0.03f), xf.len(0.03f));
    switch (kind) {
    case PickupKind::Artillery:
        // Three shells falling nose first onto a target line.
        for (auto [x, y] : {std::array{-0.16f, 0.08f}, std::array{0.0f, -0.02f}, std::array{0.16f, 0.1f}}) {
            fillShape(c, capsule(xf.p({x, y + 0.12f}), xf.p({x, y + 0.22f}), xf.len(0.012f)),
                      withAlpha(kWhite, 0.8f));
            paint(c, polygon(mapped(xf, {{x - 0.06f, y + 0.13f}, {x + 0.06f, y + 0.13f}, {x, y + 0.04f}})),
                  toon(rgb(0xe8553a), xf.len(0.022f), 0));
            paint(c, capsule(xf.p({x, y + 0.06f}), xf.p({x, y - 0.06f}), xf.len(0.05f)),
                  toon(rgb(0x4a4560), xf.len(0.025f), 0));
            fillShape(c, box(xf.p({x - 0.018f, y}), {xf.len(0.012f), xf.len(0.05f)}),
                      withAlpha(kWhite, 0.45f));
        }
        for (float x : {-0.2f, -0.05f, 0.1f}) {
            paint(c, box(xf.p({x + 0.05f, -0.24f}), {xf.len(0.045f), xf.len(0.02f)}, xf.len(0.01f)), icon);
        }
        break;
    case PickupKind::Expulsion:
        paint(c, circle(xf.p({0, 0}), xf.len(0.07f)), icon);
        paint(c, ring(xf.p({0, 0}), xf.len(0.17f), xf.len(0.045f)), icon);
        for (int i = 0; i < 4; ++i) {
            Xf arrow = xf.child({0, 0}, 1, 45.0f + i * 90.0f);
            paint(c, polygon(mapped(arrow, {{0.22f, 0.07f}, {0.31f, 0}, {0.22f, -0.07f}})), icon);
        }
        break;
    case PickupKind::BlackHole:
        for (int i = 0; i < 3; ++i) {
            paint(c, stroke(mapped(xf, spiralArm(i * 120.0f, 0.05f, 0.27f, 170)), xf.len(0.045f)),
                  toon(rgb(0x2a1050), xf.len(0.025f), 0));
        }
        paint(c, circle(xf.p({0, 0}), xf.len(0.09f)), toon(rgb(0x12061f), xf.len(0.03f), 0));
        break;
    }
}

void drawCrate(Canvas& c, const Xf& xf) {
    Rgba frame = rgb(0xb0743f);
    Rgba plank = rgb(0xe3ad70);
    paint(c, box(xf.p({0, 0}), {xf.len(0.43f), xf.len(0.43f)}, xf.len(0.06f)),
          toon(frame, xf.len(0.05f), xf.len(0.05f)));
    Shape inner = box(xf.p({0, 0}), {xf.len(0.33f), xf.len(0.33f)}, xf.len(0.02f));
    paint(c, inner, toon(plank, xf.len(0.025f), xf.len(0.04f)));
    for (float y : {-0.11f, 0.11f}) {
        fillShape(c, box(xf.p({0, y}), {xf.len(0.33f), xf.len(0.012f)}), shadeOf(plank, 0.72f));
    }
    paint(c, intersect(box(xf.p({0, 0}), {xf.len(0.5f), xf.len(0.05f)}, 0, 45), inner),
          toon(frame, xf.len(0.02f), 0));
    for (float sx : {-1.0f, 1.0f}) {
        for (float sy : {-1.0f, 1.0f}) {
            fillShape(c, circle(xf.p({0.37f * sx, 0.37f * sy}), xf.len(0.03f)), rgb(0x5a3a20));
        }
    }
    TextStyle mark = titleText(xf.len(0.04f));
    mark.fill = rgb(0xffe45c);
    mark.shade = rgb(0xffb32e);
    drawText(c, "?", xf.p({0, 0}), xf.len(0.52f), mark);
}

void drawExplosion(Canvas& c, const Xf& xf) {
    glow(c, circle(xf.p({0, 0}), xf.len(0.4f)), withAlpha(rgb(0xff8a2a), 0.6f), int(xf.len(0.06f)));
    // Fixed jitter so the burst looks hand-drawn but is the same at every build.
    static const float kJitter[] = {0.03f,  -0.02f, 0.04f,  0.0f,  -0.03f, 0.02f,  0.05f,
                                    -0.01f, 0.01f,  -0.04f, 0.03f, 0.0f,   -0.02f, 0.04f};
    auto burst = [&](float outer, float inner, float turn) {
        std::vector<Vec2> pts;
        for (int i = 0; i < 28; ++i) {
            float r = i % 2 == 0 ? outer + kJitter[(i / 2) % 14] : inner;
            float a = (turn + i * 360.0f / 28) * kPi / 180.0f;
            pts.push_back({r * std::cos(a), r * std::sin(a)});
        }
        return polygon(mapped(xf, pts));
    };
    paint(c, burst(0.42f, 0.3f, 0), toon(rgb(0xff6a2b), xf.len(0.025f), xf.len(0.05f)));
    paint(c, burst(0.3f, 0.21f, 7), toon(rgb(0xffb32e), 0, xf.len(0.04f)));
    paint(c, circle(xf.p({0, 0}), xf.len(0.15f)), toon(rgb(0xffe45c), 0, xf.len(0.03f)));
    fillShape(c, circle(xf.p({-0.03f, 0.03f}), xf.len(0.07f)), rgb(0xfffbe8));
    for (auto [x, y, r] : {std::array{-0.3f, -0.3f, 0.08f}, std::array{0.33f, -0.26f, 0.07f},
                           std::array{0.3f, 0.32f, 0.06f}, std::array{-0.36f, 0.24f, 0.065f}}) {
        paint(c, circle(xf.p({x, y}), xf.len(r)), toon(rgb(0xc9c2d8), xf.len(0.02f), xf.len(0.02f)));
    }
}

} // namespace assetgen
