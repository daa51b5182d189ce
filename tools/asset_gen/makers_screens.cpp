// Large pictures: the title, the tutorial pages, credits, the splash pictures and backgrounds.
#include "tools/asset_gen/makers.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

// The page every tutorial and the credits share: a cream sheet with a plum header.
Bounds pageFrame(Canvas& c, const std::string& title, int page) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    float line = h * 0.008f;
    drawPanel(c, {8, 8, w - 8, h - 8}, rgb(0xfff8ec), rgb(0x9d8ad8), h * 0.05f, line);
    Shape header = box({w / 2, h * 0.1f}, {w * 0.3f, h * 0.055f}, h * 0.05f);
    paint(c, header, toon(kPlum, line, h * 0.02f));
    drawText(c, title, {w / 2, h * 0.1f}, h * 0.062f, titleText(h * 0.006f), w * 0.56f);
    if (page > 0) {
        for (int i = 1; i <= 3; ++i) {
            Vec2 at{w / 2 + (i - 2) * h * 0.04f, h * 0.945f};
            paint(c, circle(at, h * 0.012f), toon(i == page ? kGold : rgb(0xd8d0ee), line * 0.6f, 0));
        }
    }
    return {w * 0.04f, h * 0.19f, w * 0.96f, h * 0.91f};
}

struct ControlRow {
    std::vector<std::string> keys;
    std::string action;
};

struct ControlCard {
    const char* title;
    int device; // 0 left keys, 1 right keys, 2 gamepad
    std::vector<ControlRow> rows;
};

// The real controls of the three ways to play.
std::vector<ControlCard> controlCards() {
    return {
        {"LEFT KEYS",
         0,
         {{{"A", "D"}, "Drive"},
          {{"W"}, "Jump"},
          {{"F", "H"}, "Aim the turret"},
          {{"T"}, "Hold: charge,\nlet go: fire"},
          {{"G"}, "Set off your shot"}}},
        {"RIGHT KEYS",
         1,
         {{{"\u2190", "\u2192"}, "Drive"},
          {{"\u2191"}, "Jump"},
          {{"Num4", "Num6"}, "Aim the turret"},
          {{"Num8"}, "Hold: charge,\nlet go: fire"},
          {{"Num5"}, "Set off your shot"}}},
        {"GAMEPAD",
         2,
         {{{"L-stick"}, "Drive"},
          {{"A"}, "Jump"},
          {{"R-stick"}, "Aim the turret"},
          {{"RT"}, "Hold: charge,\nlet go: fire"},
          {{"X"}, "Set off your shot"}}},
    };
}

Rgba keyColour(const std::string& key, int device) {
    if (device == 2 && key == "A") {
        return rgb(0x7fe08a);
    }
    if (device == 2 && key == "X") {
        return rgb(0x8db4ff);
    }
    return rgb(0xfff6e8);
}

// textSize is the height of the action words in units.
void drawControlCards(Canvas& c, Bounds area, float unit, float textSize) {
    std::vector<ControlCard> cards = controlCards();
    float gap = unit * 0.5f;
    float cardW = (area.x1 - area.x0 - 2 * gap) / 3;
    for (size_t i = 0; i < cards.size(); ++i) {
        const ControlCard& card = cards[i];
        Bounds b{area.x0 + i * (cardW + gap), area.y0, area.x0 + i * (cardW + gap) + cardW, area.y1};
        drawPanel(c, b, rgb(0xffffff), rgb(0xd8d0ee), unit * 0.6f, unit * 0.08f);
        float cx = (b.x0 + b.x1) / 2;
        TextStyle head = titleText(unit * 0.07f);
        head.fill = kPlum;
        head.shade = shadeOf(kPlum, 0.8f);
        head.ink = kWhite;
        head.shadow = 0;
        drawText(c, card.title, {cx, b.y0 + unit * 0.75f}, unit * 0.62f, head, cardW * 0.9f);
        Xf device{{cx, b.y0 + unit * 2.25f}, unit, 0};
        if (card.device == 2) {
            drawGamepad(c, device.child({0, 0}, 1.45f), {true, true, true, true, true}, kGold);
        } else {
            drawKeyboard(c, device.child({0, 0}, 1.3f), card.device == 0, kGold);
        }
        float top = b.y0 + unit * 3.5f;
        float rowH = (b.y1 - unit * 0.35f - top) / card.rows.size();
        float keySize = unit * 0.8f;
        // The words start right of the widest row of keys in this card.
        float textX = 0;
        for (const ControlRow& row : card.rows) {
            float x = b.x0 + unit * 0.45f;
            for (const std::string& key : row.keys) {
                x += keycapWidth(key, keySize) + unit * 0.12f;
            }
            textX = std::max(textX, x + unit * 0.25f);
        }
        for (size_t r = 0; r < card.rows.size(); ++r) {
            float y = top + rowH * (r + 0.5f);
            const ControlRow& row = card.rows[r];
            float x = b.x0 + unit * 0.45f;
            for (const std::string& key : row.keys) {
                float width = keycapWidth(key, keySize);
                drawKeycap(c, {x + width / 2, y}, keySize, key, keyColour(key, card.device));
                x += width + unit * 0.12f;
            }
            TextStyle t = bodyText();
            float px = unit * textSize;
            float textW = b.x1 - unit * 0.3f - textX;
            bool twoLines =
                row.action.find('\n') != std::string::npos || measureText(row.action, px).width > textW;
            drawParagraph(c, row.action,
                          {textX, y - (twoLines ? px * 0.95f : px * 0.36f), b.x1 - unit * 0.3f, y + px}, px,
                          t, 1.2f);
        }
    }
}

// "Grumbo!" in the player colours on a white sticker, each letter bouncing a little.
void drawLogoWord(Canvas& c, Vec2 centre, float px) {
    const std::string word = "GRUMBO!";
    static const Rgba kLetters[] = {kPlayerColours[0], kPlayerColours[1], kPlayerColours[2],
                                    kPlayerColours[3], kPlayerColours[0], kPlayerColours[1],
                                    rgb(0xff8a2a)};
    float spacing = px * 0.03f;
    float total = measureText(word, px).width + spacing * (word.size() - 1);
    std::vector<Vec2> pens;
    for (size_t i = 0; i < word.size(); ++i) {
        float x = centre.x - total / 2 + measureText(word.substr(0, i), px).width + spacing * i;
        pens.push_back({x, centre.y + (i % 2 == 0 ? -1.0f : 1.0f) * px * 0.035f});
    }
    TextStyle sticker;
    sticker.fill = kWhite;
    sticker.outline = px * 0.13f;
    sticker.ink = kWhite;
    sticker.shadow = px * 0.05f;
    sticker.shadowColour = withAlpha(kInk, 0.35f);
    for (size_t i = 0; i < word.size(); ++i) {
        drawText(c, std::string(1, word[i]), pens[i], px, sticker, 0, Align::Pen);
    }
    for (size_t i = 0; i < word.size(); ++i) {
        TextStyle t;
        t.fill = shadeOf(kLetters[i], 1.12f);
        t.shade = shadeOf(kLetters[i], 0.8f);
        t.outline = px * 0.055f;
        drawText(c, std::string(1, word[i]), pens[i], px, t, 0, Align::Pen);
    }
}

} // namespace

void makeMenuBackground(Canvas& c) {
    // Tiles seamlessly both ways: the menu and the podium scroll it.
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x) {
            float u = x / w, v = y / h;
            float wave = 0.5f + 0.5f * std::sin((u + v) * 2 * kPi);
            float band = std::sin((u * 6 - v * 4) * 2 * kPi) > 0.55f ? 0.06f : 0.0f;
            Rgba base = mix(rgb(0xb9a7ee), rgb(0xf2b8d6), wave);
            c.ref(x, y) = mix(base, kWhite, band);
        }
    }
    unsigned s = 11;
    auto rnd = [&]() {
        s = s * 1664525u + 1013904223u;
        return (s >> 8) / 16777216.0f;
    };
    for (int i = 0; i < 60; ++i) {
        Vec2 at{rnd() * w, rnd() * h};
        float r = h * (0.012f + rnd() * 0.025f);
        int kind = i % 3;
        for (float dx : {-w, 0.0f, w}) {
            for (float dy : {-h, 0.0f, h}) {
                Vec2 p = at + Vec2{dx, dy};
                if (p.x < -r * 2 || p.y < -r * 2 || p.x > w + r * 2 || p.y > h + r * 2) {
                    continue;
                }
                if (kind == 0) {
                    fillShape(c, offset(star(p, r, r * 0.45f, 5, i * 17.0f), r * 0.1f),
                              withAlpha(kWhite, 0.3f));
                } else if (kind == 1) {
                    fillShape(c, ring(p, r, r * 0.35f), withAlpha(kWhite, 0.22f));
                } else {
                    fillShape(c, circle(p, r * 0.6f), withAlpha(kWhite, 0.2f));
                }
            }
        }
    }
}

void makeTitle(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    // Everything stays in the left 88 %, clear of the menu buttons on the right.
    float cx = w * 0.45f;
    for (auto [x, y, r] :
         {std::array{0.06f, 0.12f, 0.035f}, std::array{0.84f, 0.1f, 0.03f}, std::array{0.8f, 0.52f, 0.025f},
          std::array{0.1f, 0.5f, 0.025f}, std::array{0.5f, 0.05f, 0.02f}}) {
        paint(c, offset(star({w * x, h * y}, h * r * 2, h * r * 0.8f, 5, 8), h * 0.004f),
              toon(kGold, h * 0.006f, h * 0.01f));
    }
    drawLogoWord(c, {cx, h * 0.3f}, h * 0.25f);
    Shape ribbon = box({cx, h * 0.6f}, {w * 0.24f, h * 0.055f}, h * 0.03f);
    paint(c, ribbon, toon(kPlum, h * 0.008f, h * 0.02f));
    drawText(c, "Tank brawls for 2 to 4 friends", {cx, h * 0.6f}, h * 0.05f, titleText(h * 0.005f),
             w * 0.44f);
    drawTankFigure(c, {{w * 0.13f, h * 0.92f}, h * 0.12f, 0},
                   {.who = Character::Kibbit,
                    .track = TrackKind::Kibbit,
                    .barrel = BarrelKind::Splitting,
                    .turretDegrees = 40,
                    .eyes = 2,
                    .player = 0});
    drawTankFigure(c, {{w * 0.77f, h * 0.92f}, h * 0.12f, 0},
                   {.who = Character::Pexie,
                    .track = TrackKind::Pexie,
                    .barrel = BarrelKind::Explosion,
                    .turretDegrees = -40,
                    .eyes = 1,
                    .player = 1});
    drawExplosion(c, {{w * 0.45f, h * 0.82f}, h * 0.16f, 0});
}

void makeTutorialPage(Canvas& c, int page) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    float unit = h * 0.06f;
    if (page == 1) {
        Bounds area = pageFrame(c, "CONTROLS", 1);
        drawControlCards(c, {area.x0, area.y0, area.x1, area.y1 - unit * 1.3f}, unit, 0.42f);
        TextStyle t = bodyText();
        drawText(c, "Join in player select with T, Numpad 8 or A.   Pause with Esc or Start.",
                 {w / 2, area.y1 - unit * 0.55f}, unit * 0.42f, t, area.x1 - area.x0);
        return;
    }
    if (page == 2) {
        Bounds area = pageFrame(c, "DAMAGE & KNOCK-BACK", 2);
        float sceneW = (area.x1 - area.x0 - 2 * unit * 0.5f) / 3;
        static const char* kDamage[] = {"0%", "80%", "190%"};
        static const Rgba kHeat[] = {kWhite, rgb(0xffb347), rgb(0xff4a3a)};
        for (int i = 0; i < 3; ++i) {
            Bounds b{area.x0 + i * (sceneW + unit * 0.5f), area.y0,
                     area.x0 + i * (sceneW + unit * 0.5f) + sceneW, area.y0 + unit * 5.8f};
            drawPanel(c, b, rgb(0xe3f3fb), rgb(0xd8d0ee), unit * 0.5f, unit * 0.08f);
            float ground = b.y1 - unit * 1.0f;
            fillShape(c,
                      box({(b.x0 + b.x1) / 2, ground + unit * 0.5f}, {sceneW / 2 - unit * 0.5f, unit * 0.3f},
                          unit * 0.1f),
                      rgb(0xcfc7e4));
            Xf boom{{b.x0 + unit * 1.3f, ground - unit * 0.9f}, unit * 1.8f, 0};
            drawExplosion(c, boom);
            float push = unit * (0.9f + i * 1.2f);
            float tankX = b.x0 + unit * 2.9f + push * 0.4f;
            float lift = i == 2 ? unit * 1.6f : 0.0f;
            drawTankFigure(
                c, {{tankX, ground - lift}, unit * 0.75f, i == 2 ? -25.0f : 0.0f},
                {.who = kCharacters[i + 1], .track = static_cast<TrackKind>(i + 2), .eyes = i == 2 ? 3 : 1});
            Vec2 from{tankX + unit * 1.1f, ground - lift - unit * 0.6f};
            Vec2 to{std::min(b.x1 - unit * 0.9f, from.x + push), from.y - (i == 2 ? unit * 0.8f : 0.0f)};
            if (i == 2) {
                // The edge of the arena: past it, a life is lost.
                for (float y = b.y0 + unit * 0.4f; y < b.y1 - unit * 0.4f; y += unit * 0.5f) {
                    fillShape(c,
                              box({b.x1 - unit * 0.55f, y + unit * 0.15f}, {unit * 0.07f, unit * 0.15f},
                                  unit * 0.04f),
                              rgb(0xee4b3e));
                }
            }
            Rgba arrowColour = i == 0 ? rgb(0xffd23a) : kHeat[i];
            paint(c, capsule(from, to, unit * 0.1f), toon(arrowColour, unit * 0.06f, 0));
            Vec2 dir = (to - from) * (1.0f / std::max(1.0f, length(to - from)));
            Vec2 side{-dir.y, dir.x};
            paint(
                c,
                polygon({to + dir * (unit * 0.35f), to + side * (unit * 0.28f), to - side * (unit * 0.28f)}),
                toon(arrowColour, unit * 0.06f, 0));
            TextStyle pct;
            pct.fill = kHeat[i];
            pct.shade = shadeOf(kHeat[i], 0.85f);
            pct.outline = unit * 0.08f;
            drawText(c, kDamage[i], {tankX, b.y0 + unit * 0.8f}, unit * 0.9f, pct);
        }
        float y = area.y0 + unit * 6.5f;
        const char* kPoints[] = {
            "Every hit raises your damage %. It shows at the bottom of the screen.",
            "The higher your damage, the farther explosions throw you.",
            "Thrown out past the edge of the arena? You lose a life.",
            "Respawning: steer the beam left and right, then drop back in.",
            "Last tank with lives wins. When the clock runs out, most lives wins.",
        };
        for (int i = 0; i < 5; ++i) {
            float px = unit * 0.52f;
            paint(c, circle({area.x0 + unit * 0.6f, y + px * 0.36f}, unit * 0.17f),
                  toon(kPlayerColours[i % 4], unit * 0.05f, 0));
            y = drawParagraph(c, kPoints[i], {area.x0 + unit * 1.1f, y, area.x1, y + unit}, px, bodyText()) +
                unit * 0.3f;
        }
        return;
    }
    Bounds area = pageFrame(c, "PICK-UPS", 3);
    // The chain: crate, shot, pick-up, tank.
    float chainY = area.y0 + unit * 1.6f;
    float step = (area.x1 - area.x0) / 4;
    drawCrate(c, {{area.x0 + step * 0.5f, chainY}, unit * 2.2f, 0});
    drawPickup(c, {{area.x0 + step * 1.5f, chainY}, unit * 2.4f, 0}, PickupKind::BlackHole);
    glow(c, ellipse({area.x0 + step * 2.5f, chainY}, unit * 1.0f, unit * 0.85f),
         withAlpha(colourOf(PickupKind::BlackHole), 0.8f), static_cast<int>(unit * 0.4f));
    drawTankFigure(c, {{area.x0 + step * 2.5f, chainY + unit * 0.55f}, unit * 0.8f, 0},
                   {.who = Character::Quolle, .track = TrackKind::Quolle, .turretDegrees = 40, .player = 2});
    drawBullet(c, {{area.x0 + step * 3.5f, chainY}, unit * 1.8f, 0}, BulletKind::BlackHole);
    static const char* kSteps[] = {"Shoot a crate", "Drive into it", "Your next shot...", "...is special!"};
    for (int i = 0; i < 4; ++i) {
        drawText(c, kSteps[i], {area.x0 + step * (i + 0.5f), chainY + unit * 1.65f}, unit * 0.42f, bodyText(),
                 step * 0.95f);
        if (i < 3) {
            float x = area.x0 + step * (i + 1);
            paint(c,
                  polygon({{x - unit * 0.25f, chainY - unit * 0.35f},
                           {x + unit * 0.3f, chainY},
                           {x - unit * 0.25f, chainY + unit * 0.35f}}),
                  toon(kGold, unit * 0.06f, 0));
        }
    }
    struct Card {
        PickupKind kind;
        const char* name;
        const char* text;
    };
    const Card cards[] = {
        {PickupKind::Artillery, "ARTILLERY",
         "Shells rain down around where it lands. Careful: they hit your tank too!"},
        {PickupKind::Expulsion, "EXPULSION", "Pulses again and again, blasting everyone nearby away."},
        {PickupKind::BlackHole, "BLACK HOLE", "Opens a vortex that pulls everyone in, spins them and hurts."},
    };
    float cardW = (area.x1 - area.x0 - unit) / 3;
    float top = chainY + unit * 2.5f;
    for (int i = 0; i < 3; ++i) {
        Bounds b{area.x0 + i * (cardW + unit * 0.5f), top, area.x0 + i * (cardW + unit * 0.5f) + cardW,
                 area.y1 - unit * 0.2f};
        drawPanel(c, b, rgb(0xffffff), shadeOf(colourOf(cards[i].kind), 1.25f), unit * 0.5f, unit * 0.08f);
        float cx = (b.x0 + b.x1) / 2;
        drawPickup(c, {{cx, b.y0 + unit * 1.75f}, unit * 3.0f, 0}, cards[i].kind);
        TextStyle name = titleText(unit * 0.07f);
        name.fill = colourOf(cards[i].kind);
        name.shade = shadeOf(colourOf(cards[i].kind), 0.8f);
        name.shadow = 0;
        drawText(c, cards[i].name, {cx, b.y0 + unit * 3.75f}, unit * 0.7f, name, cardW * 0.9f);
        drawParagraph(c, cards[i].text, {b.x0 + unit * 0.45f, b.y0 + unit * 4.6f, b.x1 - unit * 0.45f, b.y1},
                      unit * 0.48f, bodyText(), 1.3f, Align::Centre);
    }
}

void makeCreditsPanel(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    float unit = h * 0.06f;
    Bounds area = pageFrame(c, "CREDITS", 0);
    drawLogoWord(c, {w / 2, area.y0 + unit * 1.2f}, unit * 1.7f);
    TextStyle body = bodyText();
    drawText(c, "Made by " GRUMBO_MAKERS, {w / 2, area.y0 + unit * 2.6f}, unit * 0.6f, body);
    TextStyle head = titleText(unit * 0.06f);
    head.fill = kPlum;
    head.shade = shadeOf(kPlum, 0.8f);
    head.ink = kWhite;
    head.shadow = 0;
    drawText(c, "BUILT WITH", {w / 2, area.y0 + unit * 3.55f}, unit * 0.55f, head);
    // Every library the game uses, each with its licence (the package's copyright file says more).
    struct Library {
        const char* name;
        const char* licence;
    };
    static const Library kLibraries[] = {
        {"SFML", "zlib"},
        {"OpenAL Soft", "LGPL 2 or later"},
        {"SDL2", "zlib"},
        {"OpenGL (libglvnd)", "MIT"},
        {"GLEW", "BSD 3-clause and MIT"},
        {"FreeType", "FreeType Licence"},
        {"Xlib", "MIT/X11"},
        {"Dear ImGui", "MIT"},
        {"stb", "MIT or public domain"},
        {"jsoncpp", "MIT"},
        {"ENet", "MIT"},
    };
    constexpr int kCount = static_cast<int>(std::size(kLibraries));
    constexpr int kColumns = 4;
    TextStyle licence = bodyText();
    licence.fill = rgb(0x6a5a9a);
    for (int i = 0; i < kCount; ++i) {
        int col = i % kColumns, row = i / kColumns;
        int inRow = std::min(kColumns, kCount - row * kColumns);
        float x = w / 2 + (col - (inRow - 1) / 2.0f) * unit * 4.6f;
        float y = area.y0 + unit * (4.5f + row * 0.95f);
        Shape chip = box({x, y}, {unit * 2.2f, unit * 0.42f}, unit * 0.3f);
        paint(c, chip, toon(rgb(0xe9e3fb), unit * 0.05f, unit * 0.06f));
        drawText(c, kLibraries[i].name, {x, y - unit * 0.14f}, unit * 0.36f, body, unit * 4.0f);
        drawText(c, kLibraries[i].licence, {x, y + unit * 0.2f}, unit * 0.26f, licence, unit * 4.0f);
    }
    drawText(c, "Letters: DejaVu Sans Bold (Bitstream Vera licence)", {w / 2, area.y0 + unit * 7.45f},
             unit * 0.4f, body);
    drawText(c, "Every picture and sound is made by our own generator at build time.",
             {w / 2, area.y0 + unit * 8.05f}, unit * 0.4f, body, area.x1 - area.x0);
    for (int i = 0; i < 4; ++i) {
        float x = w / 2 + (i - 1.5f) * unit * 3.2f;
        Xf t{{x, area.y1 - unit * 1.05f}, unit * 0.85f, 0};
        drawTankFigure(c, t,
                       {.who = kCharacters[i],
                        .track = static_cast<TrackKind>(i + 1),
                        .barrel = static_cast<BarrelKind>(i + 1),
                        .turretDegrees = 20.0f - i * 13.0f,
                        .eyes = i % 3});
        TextStyle name = bodyText();
        name.fill = shadeOf(paletteOf(kCharacters[i]).main, 0.75f);
        drawText(c, nameOf(kCharacters[i]), {x, area.y1 - unit * 0.3f}, unit * 0.4f, name);
    }
    TextStyle thanks = titleText(unit * 0.06f);
    thanks.fill = kGold;
    thanks.shade = kOrange;
    drawText(c, "Thanks for playing!", {w * 0.16f, area.y1 - unit * 1.3f}, unit * 0.5f, thanks);
    drawText(c, "Have fun!", {w * 0.84f, area.y1 - unit * 1.3f}, unit * 0.5f, thanks);
}

void makeControllerSplash(Canvas& c) {
    // Shown at two thirds of the screen, so the words are set larger than on the tutorial page.
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    float unit = h * 0.074f;
    gradientFill(c, rgb(0x3b2f6e), rgb(0x6b4f9e));
    for (int i = 0; i < 14; ++i) {
        fillShape(c, circle({std::fmod(i * 331.0f, w), std::fmod(i * 577.0f, h)}, unit * (0.6f + (i % 3))),
                  withAlpha(kWhite, 0.05f));
    }
    drawText(c, "HOW TO PLAY", {w / 2, unit * 0.95f}, unit * 1.0f, titleText(unit * 0.1f));
    drawControlCards(c, {unit * 0.4f, unit * 1.9f, w - unit * 0.4f, h - unit * 1.35f}, unit, 0.44f);
    TextStyle hint = titleText(unit * 0.06f);
    hint.fill = kCream;
    drawText(c, "Knock the other tanks out of the arena!", {w / 2, h - unit * 0.7f}, unit * 0.6f, hint);
}

void makeStudioLogo(Canvas& c) {
    // Our studio's mark, white on clear (the splash shows it on black): a ring "Q" whose tail is
    // a shooting star, and the name set wide.
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    Vec2 centre{h * 0.5f, h * 0.47f};
    Rgba white = kWhite;
    Look mark;
    mark.fill = white;
    paint(c, ring(centre, h * 0.26f, h * 0.085f), mark);
    paint(c, capsule(centre + Vec2{h * 0.1f, h * 0.1f}, centre + Vec2{h * 0.27f, h * 0.26f}, h * 0.042f),
          mark);
    paint(c, offset(star(centre + Vec2{h * 0.31f, h * 0.3f}, h * 0.1f, h * 0.04f, 5, 12), h * 0.01f), mark);
    fillShape(c, star(centre, h * 0.075f, h * 0.03f, 4, 0), white);
    TextStyle t;
    t.fill = white;
    const std::string name = "QUORVEL";
    float left = h * 1.0f;
    float px = h * 0.3f;
    float spacing = h * 0.045f;
    float width = measureText(name, px).width + spacing * (name.size() - 1);
    px *= std::min(1.0f, (w - left - h * 0.08f) / width);
    spacing *= std::min(1.0f, (w - left - h * 0.08f) / width);
    float x = left;
    for (size_t i = 0; i < name.size(); ++i) {
        drawText(c, std::string(1, name[i]), {x, h * 0.42f}, px, t, 0, Align::Pen);
        x += measureText(std::string(1, name[i]), px).width + spacing;
    }
    float right = x - spacing;
    fillShape(c, box({(left + right) / 2, h * 0.63f}, {(right - left) / 2, h * 0.008f}),
              withAlpha(white, 0.85f));
    const std::string tagline = "GAMES STUDIO";
    float small = h * 0.085f;
    float gap = (right - left - measureText(tagline, small).width) / (tagline.size() - 1);
    x = left;
    t.fill = rgb(0xdedbea);
    for (char ch : tagline) {
        drawText(c, std::string(1, ch), {x, h * 0.74f}, small, t, 0, Align::Pen);
        x += measureText(std::string(1, ch), small).width + gap;
    }
}

void makeTeamLogo(Canvas& c) {
    // The team's crest: a plum shield with a tank, four stars in the player colours, and the name.
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    Xf xf{{h * 0.52f, h * 0.5f}, h, 0};
    Shape shield = offset(polygon(mapped(xf, {{-0.31f, 0.33f},
                                              {0, 0.38f},
                                              {0.31f, 0.33f},
                                              {0.31f, 0.02f},
                                              {0.2f, -0.22f},
                                              {0, -0.37f},
                                              {-0.2f, -0.22f},
                                              {-0.31f, 0.02f}})),
                          xf.len(0.04f));
    paint(c, offset(shield, xf.len(0.035f)), toon(kGold, xf.len(0.014f), xf.len(0.02f)));
    Look plate = toon(kPlum, xf.len(0.012f), xf.len(0.05f));
    plate.fillAt = verticalGradient(rgb(0x7a64cc), rgb(0x4a3a88), xf.p({0, 0.4f}).y, xf.p({0, -0.4f}).y);
    paint(c, shield, plate);
    glow(c, circle(xf.p({0, -0.02f}), xf.len(0.16f)), withAlpha(rgb(0xb9a6ff), 0.6f),
         static_cast<int>(h * 0.05f));
    drawTankFigure(c, xf.child({0, -0.22f}, 0.13f),
                   {.who = Character::Vantu, .track = TrackKind::Rainbow, .turretDegrees = 10});
    for (int i = 0; i < 4; ++i) {
        float a = (150.0f - i * 40.0f) * 3.14159265f / 180.0f;
        Vec2 at{0.25f * std::cos(a), 0.08f + 0.2f * std::sin(a)};
        paint(c, offset(star(xf.p(at), xf.len(0.055f), xf.len(0.024f), 5), xf.len(0.005f)),
              toon(kPlayerColours[i], xf.len(0.01f), xf.len(0.01f)));
    }
    TextStyle big = titleText(h * 0.018f);
    big.fill = kCream;
    big.shade = rgb(0xffd23a);
    float x = h * 1.05f;
    // The makers' name, its first word large and the rest under it.
    const std::string makers = GRUMBO_MAKERS;
    const size_t space = makers.find(' ');
    drawText(c, makers.substr(0, space), {x, h * 0.36f}, h * 0.24f, big, w - x - h * 0.06f, Align::Left);
    if (space != std::string::npos) {
        drawText(c, makers.substr(space + 1), {x, h * 0.6f}, h * 0.14f, big, w - x - h * 0.06f, Align::Left);
    }
    TextStyle small = titleText(h * 0.012f);
    small.fill = rgb(0xd8cff8);
    small.shade = {};
    drawText(c, "couch tank makers", {x, h * 0.82f}, h * 0.075f, small, w - x - h * 0.06f, Align::Left);
}

void makeCustomMapPreview(Canvas& c, const std::string& caption) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    gradientFill(c, rgb(0xdbe8ff), rgb(0xc9d6f5));
    for (float x = 0; x < w; x += h / 8) {
        fillShape(c, box({x, h / 2}, {1, h / 2}), withAlpha(kWhite, 0.6f));
    }
    for (float y = 0; y < h; y += h / 8) {
        fillShape(c, box({w / 2, y}, {w / 2, 1}), withAlpha(kWhite, 0.6f));
    }
    for (auto [x, y, half] :
         {std::array{0.5f, 0.78f, 0.3f}, std::array{0.22f, 0.5f, 0.1f}, std::array{0.78f, 0.5f, 0.1f}}) {
        Shape slab = box({w * x, h * y}, {w * half, h * 0.035f}, h * 0.02f);
        fillShape(c, subtract(slab, offset(slab, -4)), withAlpha(kPlum, 0.7f));
    }
    TextStyle t = titleText(h * 0.02f);
    drawText(c, "?", {w / 2, h * 0.4f}, h * 0.4f, t);
    drawText(c, caption, {w / 2, h * 0.9f}, h * 0.09f, titleText(h * 0.012f), w * 0.8f);
    fillShape(c,
              subtract(box({w / 2, h / 2}, {w / 2, h / 2}), box({w / 2, h / 2}, {w / 2 - 6, h / 2 - 6}, 10)),
              kInk);
}

} // namespace assetgen
