// The tank: body, eyes, the four characters' heads, tracks and turrets.
#include "tools/asset_gen/art.hpp"

#include <cmath>

namespace assetgen {

namespace {

// Outline and shading of tank parts in tank units: about 2.5 screen pixels at a typical zoom.
constexpr float kLine = 0.07f;
constexpr float kShade = 0.13f;

std::vector<Vec2> mirrorX(const std::vector<Vec2>& pts) {
    std::vector<Vec2> out;
    for (auto it = pts.rbegin(); it != pts.rend(); ++it) {
        out.push_back({-it->x, it->y});
    }
    return out;
}

Look part(const Xf& t, Rgba fill, float line = kLine) {
    return toon(fill, t.len(line), t.len(kShade));
}

// The eye window of each character: the head is painted around it.
Shape eyeWindow(const Xf& t, Character who) {
    switch (who) {
    case Character::Vantu:
        return box(t.p({0, 1.16f}), {t.len(0.47f), t.len(0.245f)}, t.len(0.23f), t.deg(0));
    case Character::Quolle:
        return unite(circle(t.p({-0.2f, 1.16f}), t.len(0.255f)), circle(t.p({0.2f, 1.16f}), t.len(0.255f)));
    case Character::Kibbit:
        return box(t.p({0, 1.16f}), {t.len(0.45f), t.len(0.235f)}, t.len(0.11f), t.deg(0));
    case Character::Pexie:
        return ellipse(t.p({0, 1.16f}), t.len(0.5f), t.len(0.275f), t.deg(0));
    }
    return circle(t.p({0, 1.16f}), t.len(0.3f));
}

void vantuHead(Canvas& c, const Xf& t) {
    const CharacterPalette& pal = paletteOf(Character::Vantu);
    // Ears first, so the head covers their roots.
    std::vector<Vec2> ear{{-0.66f, 1.3f}, {-0.6f, 2.08f}, {-0.1f, 1.58f}};
    std::vector<Vec2> inner{{-0.55f, 1.45f}, {-0.54f, 1.86f}, {-0.27f, 1.58f}};
    for (const auto& pts : {ear, mirrorX(ear)}) {
        paint(c, offset(polygon(mapped(t, pts)), t.len(0.04f)), part(t, pal.main));
    }
    for (const auto& pts : {inner, mirrorX(inner)}) {
        paint(c, polygon(mapped(t, pts)), toon(rgb(0xffd2b0), 0, t.len(0.05f)));
    }
    std::vector<Vec2> tuft{{-0.5f, 0.95f}, {-1.0f, 0.66f}, {-0.78f, 0.62f}, {-0.96f, 0.44f}, {-0.45f, 0.55f}};
    Shape head = unite({ellipse(t.p({0, 1.02f}), t.len(0.76f), t.len(0.64f)), polygon(mapped(t, tuft)),
                        polygon(mapped(t, mirrorX(tuft)))});
    paint(c, subtract(head, eyeWindow(t, Character::Vantu)), part(t, pal.main));
    // White cheeks and muzzle under the window.
    Shape muzzle = unite(ellipse(t.p({-0.2f, 0.66f}), t.len(0.27f), t.len(0.2f)),
                         ellipse(t.p({0.2f, 0.66f}), t.len(0.27f), t.len(0.2f)));
    paint(c, muzzle, toon(pal.light, t.len(0.035f), t.len(0.06f)));
    paint(c, ellipse(t.p({0, 0.8f}), t.len(0.1f), t.len(0.07f)),
          toon(pal.accent, t.len(0.03f), t.len(0.03f)));
    paint(c,
          stroke(mapped(t, {{-0.15f, 0.64f}, {-0.075f, 0.58f}, {0, 0.65f}, {0.075f, 0.58f}, {0.15f, 0.64f}}),
                 t.len(0.025f)),
          {.fill = kInk});
    // A cream blaze on the forehead.
    paint(c, polygon(mapped(t, {{0, 1.44f}, {0.13f, 1.54f}, {0, 1.64f}, {-0.13f, 1.54f}})),
          toon(pal.light, t.len(0.03f), 0));
}

void quolleHead(Canvas& c, const Xf& t) {
    const CharacterPalette& pal = paletteOf(Character::Quolle);
    for (float s : {-1.0f, 1.0f}) {
        paint(c, circle(t.p({0.6f * s, 1.56f}), t.len(0.27f)), part(t, pal.main));
        paint(c, circle(t.p({0.62f * s, 1.6f}), t.len(0.14f)), toon(pal.accent, 0, t.len(0.05f)));
    }
    paint(c, subtract(ellipse(t.p({0, 1.0f}), t.len(0.82f), t.len(0.66f)), eyeWindow(t, Character::Quolle)),
          part(t, pal.main));
    for (auto [x, y, r] : {std::array{-0.6f, 1.02f, 0.075f}, std::array{-0.66f, 0.78f, 0.05f},
                           std::array{0.6f, 0.92f, 0.075f}, std::array{0.47f, 1.47f, 0.055f},
                           std::array{-0.33f, 1.53f, 0.05f}, std::array{0.12f, 1.55f, 0.04f}}) {
        fillShape(c, circle(t.p({x, y}), t.len(r)), withAlpha(kWhite, 0.9f));
    }
    paint(c, ellipse(t.p({0, 0.66f}), t.len(0.38f), t.len(0.21f)),
          toon(pal.light, t.len(0.035f), t.len(0.06f)));
    paint(c, offset(polygon(mapped(t, {{-0.08f, 0.83f}, {0.08f, 0.83f}, {0, 0.74f}})), t.len(0.025f)),
          toon(pal.accent, t.len(0.03f), 0));
    paint(c, stroke(mapped(t, arcPoints({0, 0.74f}, 0.17f, 205, 335, 12)), t.len(0.025f)), {.fill = kInk});
    for (float s : {-1.0f, 1.0f}) {
        paint(c, stroke(mapped(t, {{0.3f * s, 0.7f}, {0.62f * s, 0.75f}}), t.len(0.014f)), {.fill = kInk});
        paint(c, stroke(mapped(t, {{0.3f * s, 0.63f}, {0.6f * s, 0.58f}}), t.len(0.014f)), {.fill = kInk});
    }
}

void kibbitHead(Canvas& c, const Xf& t) {
    const CharacterPalette& pal = paletteOf(Character::Kibbit);
    for (float s : {-1.0f, 1.0f}) {
        paint(c, capsule(t.p({0.27f * s, 1.45f}), t.p({0.44f * s, 2.04f}), t.len(0.17f)), part(t, pal.main));
        paint(c, capsule(t.p({0.29f * s, 1.56f}), t.p({0.42f * s, 1.98f}), t.len(0.075f)),
              toon(pal.accent, 0, t.len(0.03f)));
    }
    paint(c, subtract(ellipse(t.p({0, 1.0f}), t.len(0.74f), t.len(0.66f)), eyeWindow(t, Character::Kibbit)),
          part(t, pal.main));
    for (float s : {-1.0f, 1.0f}) {
        fillShape(c, circle(t.p({0.5f * s, 0.76f}), t.len(0.1f)), withAlpha(rgb(0xff7fa0), 0.55f));
    }
    paint(c, ellipse(t.p({0, 0.7f}), t.len(0.3f), t.len(0.19f)),
          toon(pal.light, t.len(0.035f), t.len(0.05f)));
    // Buck teeth under a little Y of a mouth.
    for (float s : {-1.0f, 1.0f}) {
        paint(c, box(t.p({0.05f * s, 0.58f}), {t.len(0.045f), t.len(0.065f)}, t.len(0.02f), t.deg(0)),
              toon(kWhite, t.len(0.022f), 0));
    }
    paint(c, stroke(mapped(t, {{-0.11f, 0.69f}, {0, 0.74f}, {0.11f, 0.69f}}), t.len(0.022f)), {.fill = kInk});
    paint(c, stroke(mapped(t, {{0, 0.74f}, {0, 0.66f}}), t.len(0.022f)), {.fill = kInk});
    paint(c, ellipse(t.p({0, 0.8f}), t.len(0.085f), t.len(0.055f)), toon(pal.accent, t.len(0.025f), 0));
}

void pexieHead(Canvas& c, const Xf& t) {
    const CharacterPalette& pal = paletteOf(Character::Pexie);
    std::vector<Vec2> ear{{-0.52f, 1.25f}, {-1.22f, 1.52f}, {-0.6f, 0.85f}};
    std::vector<Vec2> inner{{-0.6f, 1.17f}, {-1.0f, 1.38f}, {-0.66f, 0.98f}};
    for (const auto& pts : {ear, mirrorX(ear)}) {
        paint(c, offset(polygon(mapped(t, pts)), t.len(0.04f)), part(t, pal.main));
    }
    for (const auto& pts : {inner, mirrorX(inner)}) {
        paint(c, polygon(mapped(t, pts)), toon(pal.light, 0, t.len(0.04f)));
    }
    paint(c, subtract(ellipse(t.p({0, 1.0f}), t.len(0.7f), t.len(0.66f)), eyeWindow(t, Character::Pexie)),
          part(t, pal.main));
    // A pink quiff of hair with a star clip.
    Shape hair =
        unite({ellipse(t.p({0, 1.58f}), t.len(0.46f), t.len(0.16f)),
               offset(polygon(mapped(t, {{-0.38f, 1.55f}, {-0.16f, 2.06f}, {0.06f, 1.6f}})), t.len(0.03f)),
               offset(polygon(mapped(t, {{-0.02f, 1.6f}, {0.36f, 1.98f}, {0.38f, 1.52f}})), t.len(0.03f))});
    paint(c, hair, part(t, pal.accent));
    paint(c, offset(star(t.p({0.48f, 1.68f}), t.len(0.15f), t.len(0.07f), 5, t.deg(-10)), t.len(0.015f)),
          toon(kGold, t.len(0.035f), t.len(0.04f)));
    for (float s : {-1.0f, 1.0f}) {
        for (auto [x, y] : {std::array{0.34f, 0.8f}, std::array{0.42f, 0.74f}, std::array{0.3f, 0.72f}}) {
            fillShape(c, circle(t.p({x * s, y}), t.len(0.022f)), rgb(0x6a3fb0));
        }
    }
    Shape mouth = intersect(ellipse(t.p({0, 0.7f}), t.len(0.16f), t.len(0.13f)),
                            box(t.p({0, 0.6f}), {t.len(0.2f), t.len(0.1f)}));
    paint(c, mouth, toon(rgb(0x5a1e3a), t.len(0.03f), 0));
    fillShape(c, intersect(ellipse(t.p({0, 0.6f}), t.len(0.08f), t.len(0.05f)), offset(mouth, -t.len(0.01f))),
              rgb(0xff7fa0));
}

} // namespace

const char* nameOf(Character c) {
    switch (c) {
    case Character::Vantu:
        return "Vantu";
    case Character::Quolle:
        return "Quolle";
    case Character::Kibbit:
        return "Kibbit";
    case Character::Pexie:
        return "Pexie";
    }
    return "";
}

const CharacterPalette& paletteOf(Character c) {
    static const CharacterPalette kPalettes[] = {
        {rgb(0xf28c28), rgb(0xfff0dc), rgb(0x3a2230)}, // Vantu: orange fox
        {rgb(0x33b5a5), rgb(0xd3f7ee), rgb(0xff86b0)}, // Quolle: spotted teal
        {rgb(0xc8956a), rgb(0xf7e4cb), rgb(0xf7a8be)}, // Kibbit: caramel bunny
        {rgb(0x9a6be0), rgb(0xe9dcff), rgb(0xff5ca8)}, // Pexie: purple pixie
    };
    return kPalettes[static_cast<int>(c)];
}

Xf fitFrame(const Canvas& c, Vec2 localCentre, float unitsWide) {
    float scale = c.width() / unitsWide;
    Xf xf{{c.width() * 0.5f, c.height() * 0.5f}, scale, 0};
    xf.origin = xf.origin - (xf.p(localCentre) - xf.origin);
    return xf;
}

void drawBody(Canvas& c, const Xf& t) {
    paint(c, box(t.p({0, 1.0f}), {t.len(0.58f), t.len(0.66f)}, t.len(0.5f), t.deg(0)), part(t, kSteel));
    // The dark visor the eyes look out of.
    paint(c, box(t.p({0, 1.16f}), {t.len(0.52f), t.len(0.28f)}, t.len(0.2f), t.deg(0)),
          toon(rgb(0x2e2948), t.len(0.04f), t.len(0.05f)));
    for (float s : {-1.0f, 1.0f}) {
        paint(c, circle(t.p({0.38f * s, 0.56f}), t.len(0.05f)),
              toon(shadeOf(kSteel, 1.2f), t.len(0.025f), 0));
    }
}

void drawEyes(Canvas& c, const Xf& t, int column) {
    const float look = column == 1 ? -0.07f : column == 2 ? 0.07f : 0.0f;
    for (float s : {-1.0f, 1.0f}) {
        Vec2 centre{0.2f * s, 1.16f};
        paint(c, ellipse(t.p(centre), t.len(0.175f), t.len(0.19f), t.deg(0)),
              {.fill = kWhite, .shade = rgb(0xd6d4ec), .shadeDepth = t.len(0.05f), .outline = t.len(0.045f)});
        if (column == 3) {
            // Dizzy: a spiral in each eye, turning the same way in both.
            std::vector<Vec2> spiral;
            for (int i = 0; i <= 40; ++i) {
                float a = i * 0.42f;
                float r = 0.02f + 0.0031f * i;
                spiral.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
            }
            paint(c, stroke(mapped(t, spiral), t.len(0.02f)), {.fill = rgb(0x5b2d8e)});
            continue;
        }
        Vec2 pupil{centre.x + look, centre.y - 0.01f};
        paint(c, circle(t.p(pupil), t.len(0.095f)), {.fill = rgb(0x1f1530)});
        fillShape(c, circle(t.p({pupil.x - 0.03f, pupil.y + 0.035f}), t.len(0.032f)), kWhite);
    }
}

void drawFace(Canvas& c, const Xf& t, Character who) {
    switch (who) {
    case Character::Vantu:
        vantuHead(c, t);
        break;
    case Character::Quolle:
        quolleHead(c, t);
        break;
    case Character::Kibbit:
        kibbitHead(c, t);
        break;
    case Character::Pexie:
        pexieHead(c, t);
        break;
    }
}

void drawTrack(Canvas& c, const Xf& t, TrackKind kind, int frame, bool jumping) {
    static const Rgba kRainbow[] = {rgb(0xee4b3e), rgb(0xff9a2e), rgb(0xf6d336),
                                    rgb(0x43c15a), rgb(0x3e7fea), rgb(0x9a6be0)};
    Rgba belt =
        kind == TrackKind::Rainbow ? rgb(0xe9e6f2) : paletteOf(static_cast<Character>(int(kind) - 1)).main;
    float cy = jumping ? 0.13f : 0.0f;
    float r = jumping ? 0.35f : 0.4f;
    float half = 0.8f;
    if (jumping) {
        // Little rocket jets under the tread while the tank is in the air.
        static const float kFlame[] = {0.5f, 0.535f, 0.47f};
        for (float s : {-1.0f, 1.0f}) {
            float tip = -kFlame[frame % 3];
            Shape outer =
                unite(ellipse(t.p({0.55f * s, -0.24f}), t.len(0.22f), t.len(0.11f)),
                      polygon(mapped(t, {{0.35f * s, -0.26f}, {0.75f * s, -0.26f}, {0.55f * s, tip}})));
            paint(c, outer, toon(rgb(0xff7a2a), t.len(0.035f), t.len(0.04f)));
            fillShape(c,
                      unite(ellipse(t.p({0.55f * s, -0.27f}), t.len(0.12f), t.len(0.06f)),
                            polygon(mapped(
                                t, {{0.45f * s, -0.28f}, {0.65f * s, -0.28f}, {0.55f * s, tip + 0.09f}}))),
                      rgb(0xffe066));
        }
    }
    paint(c, capsule(t.p({-half, cy}), t.p({half, cy}), t.len(r)), part(t, belt));
    // Tread lugs: the top run moves left as the frames advance, the bottom run right.
    for (int row = 0; row < 2; ++row) {
        float y = cy + (row == 0 ? 1 : -1) * (r - 0.065f);
        float shift = (row == 0 ? -1 : 1) * frame * 0.1f;
        for (int k = -4; k <= 4; ++k) {
            float x = k * 0.3f + shift;
            if (std::fabs(x) > half) {
                continue;
            }
            Rgba lug =
                kind == TrackKind::Rainbow ? kRainbow[(k + 8 + (row ? 3 : 0)) % 6] : shadeOf(belt, 0.7f);
            paint(c, box(t.p({x, y}), {t.len(0.06f), t.len(0.05f)}, t.len(0.02f), t.deg(0)),
                  toon(lug, t.len(0.025f), 0));
        }
    }
    paint(c, capsule(t.p({-half, cy}), t.p({half, cy}), t.len(r - 0.13f)),
          toon(rgb(0x3b3550), 0, t.len(0.05f)));
    for (int i = 0; i < 4; ++i) {
        Vec2 centre{-0.66f + i * 0.44f, cy};
        paint(c, circle(t.p(centre), t.len(0.2f)), toon(rgb(0xd8d4e6), t.len(0.045f), t.len(0.05f)));
        // Three spokes: a third of their symmetry per frame, counter-clockwise as the tank rolls left.
        for (int s = 0; s < 3; ++s) {
            float a = (frame * 40.0f + s * 120.0f + 15.0f) * 3.14159265f / 180.0f;
            Vec2 end{centre.x + 0.15f * std::cos(a), centre.y + 0.15f * std::sin(a)};
            paint(c, stroke(mapped(t, {centre, end}), t.len(0.028f)), {.fill = rgb(0x8f8aa8)});
        }
        Xf hub = t.child(centre);
        switch (kind) {
        case TrackKind::Rainbow:
            paint(c, circle(hub.p({0, 0}), hub.len(0.08f)), toon(kRainbow[i + 1], hub.len(0.025f), 0));
            break;
        case TrackKind::Vantu:
            paint(c, circle(hub.p({0, 0}), hub.len(0.085f)), toon(rgb(0xff9a2e), hub.len(0.025f), 0));
            fillShape(c, circle(hub.p({0, 0}), hub.len(0.035f)), kCream);
            break;
        case TrackKind::Quolle:
            paint(c, circle(hub.p({0, 0}), hub.len(0.085f)),
                  toon(paletteOf(Character::Quolle).main, hub.len(0.025f), 0));
            fillShape(c, circle(hub.p({0.025f, 0.025f}), hub.len(0.025f)), kWhite);
            break;
        case TrackKind::Kibbit: {
            Shape heart = unite({circle(hub.p({-0.04f, 0.03f}), hub.len(0.05f)),
                                 circle(hub.p({0.04f, 0.03f}), hub.len(0.05f)),
                                 polygon(mapped(hub, {{-0.085f, 0.01f}, {0.085f, 0.01f}, {0, -0.09f}}))});
            paint(c, heart, toon(rgb(0xff7fa0), hub.len(0.022f), 0));
            break;
        }
        case TrackKind::Pexie:
            paint(c, star(hub.p({0, 0}), hub.len(0.11f), hub.len(0.05f), 5, hub.deg(frame * 24.0f)),
                  toon(kGold, hub.len(0.022f), 0));
            break;
        }
    }
}

void drawBarrel(Canvas& c, const Xf& b, BarrelKind kind) {
    float line = 0.05f;
    auto look = [&](Rgba fill) { return toon(fill, b.len(line), b.len(0.06f)); };
    switch (kind) {
    case BarrelKind::Basic:
        paint(c, box(b.p({0, -0.02f}), {b.len(0.12f), b.len(0.54f)}, b.len(0.05f), b.deg(0)),
              look(rgb(0xa9a6be)));
        paint(c, box(b.p({0, 0.5f}), {b.len(0.16f), b.len(0.07f)}, b.len(0.04f), b.deg(0)),
              look(rgb(0x6d6888)));
        break;
    case BarrelKind::Explosion:
        paint(c, box(b.p({0, -0.1f}), {b.len(0.15f), b.len(0.46f)}, b.len(0.05f), b.deg(0)),
              look(rgb(0xe8553a)));
        paint(c, box(b.p({0, 0.12f}), {b.len(0.155f), b.len(0.05f)}, 0, b.deg(0)), look(rgb(0xffd23a)));
        paint(c, polygon(mapped(b, {{-0.15f, 0.3f}, {0.15f, 0.3f}, {0.26f, 0.6f}, {-0.26f, 0.6f}})),
              look(rgb(0x4a4560)));
        paint(c, box(b.p({0, 0.57f}), {b.len(0.25f), b.len(0.04f)}, b.len(0.02f), b.deg(0)),
              look(rgb(0xff9a2e)));
        break;
    case BarrelKind::Splitting:
        for (float s : {-1.0f, 0.0f, 1.0f}) {
            Vec2 tip{0.17f * s, 0.56f - 0.03f * std::fabs(s)};
            paint(c, capsule(b.p({0, 0.3f}), b.p(tip), b.len(0.06f)), look(rgb(0x2fb3a0)));
            paint(c, circle(b.p(tip), b.len(0.075f)), look(rgb(0xf6d336)));
        }
        paint(c, box(b.p({0, -0.12f}), {b.len(0.12f), b.len(0.46f)}, b.len(0.05f), b.deg(0)),
              look(rgb(0x2fb3a0)));
        paint(c, box(b.p({0, 0.26f}), {b.len(0.16f), b.len(0.06f)}, b.len(0.03f), b.deg(0)),
              look(rgb(0x1d7f73)));
        break;
    case BarrelKind::Sniper:
        paint(c, box(b.p({0, 0.0f}), {b.len(0.075f), b.len(0.58f)}, b.len(0.03f), b.deg(0)),
              look(rgb(0x3b4a7a)));
        paint(c, box(b.p({0, 0.5f}), {b.len(0.11f), b.len(0.09f)}, b.len(0.03f), b.deg(0)),
              look(rgb(0x262a44)));
        fillShape(c, box(b.p({0, 0.5f}), {b.len(0.11f), b.len(0.02f)}), rgb(0x8a94c8));
        paint(c, capsule(b.p({0.17f, 0.02f}), b.p({0.17f, 0.3f}), b.len(0.06f)), look(rgb(0x5b6aa0)));
        paint(c, circle(b.p({0.17f, 0.32f}), b.len(0.045f)), toon(rgb(0x9fe3ff), b.len(0.03f), 0));
        paint(c, box(b.p({0.09f, 0.1f}), {b.len(0.05f), b.len(0.03f)}, 0, b.deg(0)), look(rgb(0x262a44)));
        break;
    case BarrelKind::Sticky:
        paint(c, box(b.p({0, -0.14f}), {b.len(0.16f), b.len(0.46f)}, b.len(0.06f), b.deg(0)),
              look(rgb(0x8acb3c)));
        paint(c, box(b.p({0, 0.3f}), {b.len(0.2f), b.len(0.07f)}, b.len(0.04f), b.deg(0)),
              look(rgb(0x5e9a2a)));
        // Goo over the muzzle, dripping down the sides.
        Shape goo = unite({ellipse(b.p({0, 0.44f}), b.len(0.22f), b.len(0.12f)),
                           capsule(b.p({-0.13f, 0.4f}), b.p({-0.15f, 0.2f}), b.len(0.05f)),
                           capsule(b.p({0.1f, 0.4f}), b.p({0.11f, 0.26f}), b.len(0.04f))});
        paint(c, goo, look(rgb(0x7ee04a)));
        fillShape(c, circle(b.p({-0.07f, 0.48f}), b.len(0.03f)), withAlpha(kWhite, 0.8f));
        break;
    }
}

void drawTankFigure(Canvas& c, const Xf& t, const TankFigure& f) {
    Xf barrel = t.child({0, 1.0f}, 1, -f.turretDegrees).child({0, 0.5f});
    drawBarrel(c, barrel.child({0, 0}, 1.0f), f.barrel);
    if (f.player >= 0) {
        Xf arrow = barrel.child({0, 1.15f}, 0.51f);
        Shape a = polygon(mapped(arrow, {{0, 0.42f},
                                         {0.38f, 0.02f},
                                         {0.17f, 0.02f},
                                         {0.17f, -0.36f},
                                         {-0.17f, -0.36f},
                                         {-0.17f, 0.02f},
                                         {-0.38f, 0.02f}}));
        paint(c, a, toon(kPlayerColours[f.player], arrow.len(0.07f), arrow.len(0.08f)));
    }
    drawTrack(c, t, f.track, 0, false);
    drawBody(c, t);
    drawEyes(c, t, f.eyes);
    drawFace(c, t, f.who);
}

} // namespace assetgen
