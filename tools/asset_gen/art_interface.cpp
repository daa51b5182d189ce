// Interface pieces: keycaps, the gamepad, the keyboard, panels and the text styles.
#include "tools/asset_gen/art.hpp"

#include <algorithm>

namespace assetgen {

TextStyle titleText(float outline) {
    TextStyle s;
    s.fill = kWhite;
    s.shade = rgb(0xffe2a0);
    s.outline = outline;
    s.shadow = outline * 0.9f;
    return s;
}

TextStyle bodyText() {
    TextStyle s;
    s.fill = kInk;
    return s;
}

void drawPanel(Canvas& c, Bounds a, Rgba fill, Rgba border, float radius, float outline) {
    Vec2 centre{(a.x0 + a.x1) / 2, (a.y0 + a.y1) / 2};
    Vec2 half{(a.x1 - a.x0) / 2 - outline, (a.y1 - a.y0) / 2 - outline};
    // A soft drop shadow first, then the panel with a coloured rim inside the ink outline.
    Look shadow;
    shadow.fill = withAlpha(kInk, 0.25f);
    paint(c, box(centre + Vec2{0, outline * 1.5f}, half, radius), shadow);
    paint(c, box(centre, half, radius), toon(border, outline, outline * 1.2f));
    Look inner = toon(fill, 0, outline * 1.5f);
    inner.shade = shadeOf(fill, 0.94f);
    inner.light = {};
    paint(c,
          box(centre, {half.x - outline * 1.6f, half.y - outline * 1.6f},
              std::max(0.0f, radius - outline * 1.6f)),
          inner);
}

namespace {

// Short labels fill the cap; longer ones ("L-stick") get a smaller size and a wider cap.
float keycapTextSize(const std::string& label, float size) {
    return measureText(label, size * 0.52f).width > size * 0.62f ? size * 0.38f : size * 0.52f;
}

// Number-pad keys ("Num8") show their digit large with a small "num" above it, like a square key.
bool numberPadKey(const std::string& label) {
    return label.size() == 4 && label.compare(0, 3, "Num") == 0 && label[3] >= '0' && label[3] <= '9';
}

} // namespace

float keycapWidth(const std::string& label, float size) {
    if (numberPadKey(label)) {
        return size * 0.92f;
    }
    float px = keycapTextSize(label, size);
    return std::max(size * 0.92f, measureText(label, px).width + size * 0.44f);
}

void drawKeycap(Canvas& c, Vec2 centre, float size, const std::string& label, Rgba colour) {
    float r = size * 0.2f;
    float line = std::max(2.0f, size * 0.05f);
    Vec2 half{keycapWidth(label, size) / 2, size * 0.46f};
    paint(c, box(centre + Vec2{0, size * 0.07f}, half, r), toon(shadeOf(colour, 0.7f), line, 0));
    Look top = toon(colour, line, size * 0.06f);
    paint(c, box(centre - Vec2{0, size * 0.03f}, {half.x - size * 0.02f, half.y - size * 0.04f}, r), top);
    TextStyle text;
    text.fill = kInk;
    if (numberPadKey(label)) {
        drawText(c, "num", centre - Vec2{0, size * 0.26f}, size * 0.2f, text);
        drawText(c, label.substr(3), centre + Vec2{0, size * 0.06f}, size * 0.42f, text);
        return;
    }
    drawText(c, label, centre - Vec2{0, size * 0.04f}, keycapTextSize(label, size), text, half.x * 1.8f);
}

void drawGamepad(Canvas& c, const Xf& xf, const PadMarks& m, Rgba mark) {
    float line = 0.035f;
    auto marked = [&](bool on, Rgba normal) { return toon(on ? mark : normal, xf.len(line), xf.len(0.04f)); };
    auto ringIf = [&](bool on, Vec2 at, float r) {
        if (on) {
            glow(c, circle(xf.p(at), xf.len(r)), withAlpha(mark, 0.9f), int(xf.len(0.1f)));
        }
    };
    ringIf(m.trigger, {0.56f, 0.44f}, 0.14f);
    for (float s : {-1.0f, 1.0f}) {
        bool on = s > 0 && m.trigger;
        paint(c, box(xf.p({0.56f * s, 0.44f}), {xf.len(0.2f), xf.len(0.1f)}, xf.len(0.08f)),
              marked(on, rgb(0x8f8aa8)));
    }
    Shape body =
        unite({ellipse(xf.p({0, 0.08f}), xf.len(0.84f), xf.len(0.42f)),
               circle(xf.p({-0.62f, -0.22f}), xf.len(0.34f)), circle(xf.p({0.62f, -0.22f}), xf.len(0.34f))});
    paint(c, body, toon(rgb(0xeceaf5), xf.len(line), xf.len(0.08f)));
    // Sticks.
    ringIf(m.leftStick, {-0.5f, 0.1f}, 0.17f);
    ringIf(m.rightStick, {0.26f, -0.18f}, 0.17f);
    paint(c, circle(xf.p({-0.5f, 0.1f}), xf.len(0.17f)), marked(m.leftStick, rgb(0x4a4560)));
    paint(c, circle(xf.p({0.26f, -0.18f}), xf.len(0.17f)), marked(m.rightStick, rgb(0x4a4560)));
    fillShape(c, circle(xf.p({-0.52f, 0.12f}), xf.len(0.09f)), withAlpha(kWhite, 0.25f));
    fillShape(c, circle(xf.p({0.24f, -0.16f}), xf.len(0.09f)), withAlpha(kWhite, 0.25f));
    // D-pad.
    paint(c,
          unite(box(xf.p({-0.26f, -0.2f}), {xf.len(0.13f), xf.len(0.045f)}, xf.len(0.02f)),
                box(xf.p({-0.26f, -0.2f}), {xf.len(0.045f), xf.len(0.13f)}, xf.len(0.02f))),
          toon(rgb(0x4a4560), xf.len(line), 0));
    // Face buttons in the usual colours.
    struct Button {
        Vec2 at;
        Rgba colour;
        const char* letter;
        bool on;
    };
    const Button buttons[] = {{{0.52f, -0.04f}, rgb(0x43c15a), "A", m.a},
                              {{0.66f, 0.1f}, rgb(0xee4b3e), "B", false},
                              {{0.38f, 0.1f}, rgb(0x3e7fea), "X", m.x},
                              {{0.52f, 0.24f}, rgb(0xf6c736), "Y", false}};
    for (const Button& b : buttons) {
        ringIf(b.on, b.at, 0.08f);
        paint(c, circle(xf.p(b.at), xf.len(0.075f)), toon(b.colour, xf.len(0.025f), xf.len(0.02f)));
        TextStyle t;
        t.fill = kWhite;
        drawText(c, b.letter, xf.p(b.at), xf.len(0.1f), t);
    }
}

void drawKeyboard(Canvas& c, const Xf& xf, bool leftHalf, Rgba mark) {
    paint(c, box(xf.p({0, 0}), {xf.len(1.5f), xf.len(0.52f)}, xf.len(0.1f)),
          toon(rgb(0x8f8aa8), xf.len(0.04f), xf.len(0.05f)));
    auto key = [&](Vec2 at, bool on) {
        paint(c, box(xf.p(at), {xf.len(0.075f), xf.len(0.075f)}, xf.len(0.03f)),
              toon(on ? mark : rgb(0xf4f2fa), xf.len(0.018f), 0));
    };
    // Three rows of letters.
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 9; ++col) {
            float x = -1.36f + col * 0.19f + row * 0.06f;
            float y = 0.3f - row * 0.2f;
            // Q W E R T Y / A S D F G H: W, T and A to H belong to the left player.
            bool on = leftHalf && ((row == 0 && (col == 1 || col == 4)) || (row == 1 && col <= 5));
            key({x, y}, on);
        }
    }
    for (int col = 0; col < 6; ++col) {
        key({-1.2f + col * 0.19f, -0.32f}, false);
    }
    // Arrow keys and a number pad on the right.
    key({0.3f, -0.12f}, !leftHalf);
    key({0.11f, -0.32f}, !leftHalf);
    key({0.3f, -0.32f}, !leftHalf);
    key({0.49f, -0.32f}, !leftHalf);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            bool on = !leftHalf && ((row == 0 && col == 1) || row == 1);
            key({0.85f + col * 0.19f, 0.3f - row * 0.2f}, on);
        }
    }
    key({0.94f, -0.32f}, false);
    key({1.23f, -0.32f}, false);
}

} // namespace assetgen
