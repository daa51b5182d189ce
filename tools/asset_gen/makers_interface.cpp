// Buttons, words, the digit strip, check boxes and the other interface pictures.
#include "tools/asset_gen/makers.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace assetgen {

namespace {

// The button's plate: plum when plain; gold with a glow and a white rim when highlighted.
void buttonPlate(Canvas& c, const Shape& plate, bool highlighted, float h) {
    float line = std::max(3.0f, h * 0.05f);
    if (highlighted) {
        glow(c, plate, withAlpha(rgb(0xffe27a), 0.95f), static_cast<int>(h * 0.09f));
        Look look = toon(kGold, line * 1.3f, h * 0.12f);
        look.fillAt = verticalGradient(rgb(0xffd54a), kOrange, h * 0.15f, h * 0.85f);
        paint(c, plate, look);
        fillShape(c, subtract(offset(plate, -line * 0.8f), offset(plate, -line * 1.8f)),
                  withAlpha(kWhite, 0.85f));
    } else {
        Look look = toon(kPlum, line, h * 0.1f);
        look.fillAt = verticalGradient(rgb(0x7662c4), rgb(0x4b3a86), h * 0.15f, h * 0.85f);
        paint(c, plate, look);
    }
}

TextStyle buttonText(bool highlighted, float h) {
    TextStyle t = titleText(std::max(3.0f, h * 0.055f));
    t.shadow = h * 0.04f;
    if (!highlighted) {
        t.fill = kCream;
        t.shade = rgb(0xd9cff5);
    }
    return t;
}

// A small pointer beside a highlighted label, so the choice reads even without colour.
void marker(Canvas& c, Vec2 tip, float size, bool pointsRight) {
    float s = pointsRight ? 1.0f : -1.0f;
    Shape tri = offset(polygon({{tip.x - s * size, tip.y - size * 0.75f},
                                {tip.x, tip.y},
                                {tip.x - s * size, tip.y + size * 0.75f}}),
                       size * 0.12f);
    paint(c, tri, toon(kWhite, std::max(2.0f, size * 0.16f), 0));
}

} // namespace

void makeButton(Canvas& c, const std::string& label, bool highlighted, ButtonShape shape) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    float pad = h * 0.1f; // room for the highlight's glow, the same in both variants
    if (shape == ButtonShape::Tab) {
        // The title-menu buttons run off the right edge of the screen: a slanted tab whose
        // label sits in the part that is always visible.
        Shape plate = offset(
            polygon({{pad + h * 0.35f, pad}, {w + h, pad}, {w + h, h - pad}, {pad, h - pad}}), h * 0.04f);
        buttonPlate(c, plate, highlighted, h);
        float centre = w * 0.42f;
        float px = fitTextSize(label, w * 0.55f, h - 2 * pad - h * 0.1f, h * 0.56f, h * 0.055f);
        drawText(c, label, {centre, h / 2}, px, buttonText(highlighted, h));
        if (highlighted) {
            float half = measureText(label, px).width / 2;
            marker(c, {centre - half - h * 0.22f, h / 2}, h * 0.16f, true);
        }
        return;
    }
    Shape plate = box({w / 2, h / 2}, {w / 2 - pad, h / 2 - pad}, h / 2 - pad);
    buttonPlate(c, plate, highlighted, h);
    // Room for the highlight's pointers is kept in both variants, so the label keeps its size.
    float radius = h / 2 - pad;
    float side = radius * 0.62f;
    float textW = w - 2 * pad - 2 * side - radius * 0.3f;
    float textH = (h - 2 * pad) * 0.6f;
    float outline = h * 0.055f;
    TextStyle style = buttonText(highlighted, h);
    float px = fitTextSize(label, textW, textH, h * 0.42f, outline);
    size_t space = label.find(' ');
    // Squat buttons set a two-word label on two lines when that reads larger.
    float px2 = space == std::string::npos
                    ? 0.0f
                    : std::min(fitTextSize(label.substr(0, space), textW, textH * 0.6f, h, outline),
                               fitTextSize(label.substr(space + 1), textW, textH * 0.6f, h, outline));
    if (px2 > px * 1.3f) {
        float gap = px2 * 0.62f;
        drawText(c, label.substr(0, space), {w / 2, h / 2 - gap}, px2, style);
        drawText(c, label.substr(space + 1), {w / 2, h / 2 + gap}, px2, style);
    } else {
        drawText(c, label, {w / 2, h / 2}, px, style);
    }
    if (highlighted) {
        float size = std::min(radius * 0.3f, h * 0.12f);
        marker(c, {pad + side * 0.55f + size * 0.5f, h / 2}, size, true);
        marker(c, {w - pad - side * 0.55f - size * 0.5f, h / 2}, size, false);
    }
}

void makeWords(Canvas& c, const std::string& text, WordsLook look) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    float outline = h * (look == WordsLook::Label ? 0.05f : 0.045f);
    TextStyle t = titleText(outline);
    float margin = outline * 2.5f;
    switch (look) {
    case WordsLook::Title:
        t.glow = static_cast<int>(h * 0.06f);
        t.glowColour = withAlpha(rgb(0xb98cff), 0.55f);
        break;
    case WordsLook::Label:
        t.shadow = outline * 0.6f;
        break;
    case WordsLook::Banner:
        t.fill = kWhite;
        t.shade = rgb(0xffd23a);
        t.shadow = outline * 1.3f;
        break;
    case WordsLook::Tinted:
        // Drawn white and shaded grey: the game tints these (the podium banner is red).
        t.fill = kWhite;
        t.shade = rgb(0xc9c4d8);
        t.glow = static_cast<int>(h * 0.07f);
        t.glowColour = withAlpha(kWhite, 0.45f);
        break;
    case WordsLook::Go: {
        Xf xf{{w / 2, h / 2}, w, 0};
        glow(c, circle(xf.p({0, 0}), xf.len(0.36f)), withAlpha(rgb(0xfff3a0), 0.8f), int(w * 0.04f));
        paint(c, offset(star(xf.p({0, 0}), xf.len(0.42f), xf.len(0.3f), 14), xf.len(0.01f)),
              toon(rgb(0xffd23a), xf.len(0.018f), xf.len(0.04f)));
        t.fill = rgb(0x8dff6e);
        t.shade = rgb(0x36c23e);
        t.outline = w * 0.028f;
        t.shadow = w * 0.02f;
        margin = w * 0.1f;
        outline = t.outline;
        break;
    }
    }
    float glowRoom = t.glow * 1.2f;
    float px = fitTextSize(text, w - 2 * margin - 2 * glowRoom, h - 2 * margin - 2 * glowRoom - t.shadow, h,
                           outline);
    // Descenders need room below the capitals.
    px = std::min(px, (h - 2 * margin - 2 * glowRoom - t.shadow) / 1.05f);
    if (look == WordsLook::Label) {
        // Option labels sit in rows closer together than their pictures are tall, and share
        // one size: the longest ("Windowed") still fits inside the options panel.
        px = std::min(px, h * 0.42f);
    }
    drawText(c, text, {w / 2, h / 2 - t.shadow / 2}, px, t);
}

void makeUiFont(Canvas& c) {
    // Digits 0-9, percent, colon and times, one per cell, all at one size and centred in their cells.
    static const char* kCells[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "%", ":", "\u00d7"};
    constexpr int kCellCount = static_cast<int>(std::size(kCells));
    float cell = static_cast<float>(c.width()) / kCellCount;
    float h = static_cast<float>(c.height());
    TextStyle t;
    t.fill = kWhite;
    t.shade = rgb(0xd9d5e8);
    t.outline = h * 0.06f;
    float px = fitTextSize("0", cell * 0.86f, h * 0.9f, h * 0.95f, t.outline);
    for (int i = 0; i < kCellCount; ++i) {
        drawText(c, kCells[i], {cell * (i + 0.5f), h / 2}, px, t, cell * 0.86f);
    }
}

void makeCheckbox(Canvas& c, bool ticked) {
    float w = static_cast<float>(c.width());
    Shape frame = box({w / 2, w / 2}, {w * 0.34f, w * 0.34f}, w * 0.12f);
    Look look = toon(kCream, w * 0.06f, w * 0.08f);
    paint(c, frame, look);
    fillShape(c, box({w / 2, w * 0.54f}, {w * 0.22f, w * 0.2f}, w * 0.08f), withAlpha(rgb(0xd8d0ee), 0.6f));
    if (ticked) {
        Shape tick =
            stroke({{w * 0.26f, w * 0.5f}, {w * 0.44f, w * 0.68f}, {w * 0.8f, w * 0.2f}}, w * 0.075f);
        paint(c, tick, toon(rgb(0x43c15a), w * 0.05f, w * 0.04f));
    }
}

void makeArrow(Canvas& c) {
    float w = static_cast<float>(c.width());
    Xf xf{{w / 2, w / 2}, w, 0};
    Shape arrow = offset(polygon(mapped(xf, {{-0.24f, 0.3f}, {0.3f, 0}, {-0.24f, -0.3f}})), xf.len(0.05f));
    Look look = toon(kGold, xf.len(0.06f), xf.len(0.08f));
    look.fillAt = verticalGradient(rgb(0xffe066), kOrange, w * 0.2f, w * 0.8f);
    paint(c, arrow, look);
}

void makeSelectionHighlight(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    Shape frame = box({w / 2, h / 2}, {w / 2 - h * 0.16f, h / 2 - h * 0.16f}, h * 0.3f);
    glow(c, frame, withAlpha(rgb(0xffe27a), 0.8f), static_cast<int>(h * 0.12f));
    fillShape(c, frame, withAlpha(rgb(0xffe27a), 0.3f));
    fillShape(c, subtract(frame, offset(frame, -h * 0.07f)), rgb(0xfff3b0));
    fillShape(c, subtract(offset(frame, h * 0.02f), offset(frame, -h * 0.0f)), withAlpha(kInk, 0.7f));
}

void makeOptionPanel(Canvas& c) {
    // A mid-dark plum, so the game's yellow texts read on it and its tints (magenta for the
    // player panels) stay rich; symmetric, since one use turns it upside down.
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    float line = h * 0.02f;
    Shape outer = box({w / 2, h / 2}, {w / 2 - line * 2, h / 2 - line * 2}, h * 0.1f);
    paint(c, outer, {.fill = rgb(0xd9d0f7), .outline = line, .ink = kInk});
    Shape inner = offset(outer, -line * 2.2f);
    paint(c, inner, {.fillAt = radialGradient({w / 2, h / 2}, w * 0.6f, rgb(0x7a66c6), rgb(0x4f3f92))});
}

void makeReadyStamp(Canvas& c) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    fillShape(c, box({w / 2, h / 2}, {w / 2 - 4, h / 2 - 4}, h * 0.1f), withAlpha(kInk, 0.55f));
    Shape stamp = box({w / 2, h / 2}, {w * 0.34f, h * 0.2f}, h * 0.08f);
    paint(c, subtract(offset(stamp, h * 0.03f), stamp), toon(rgb(0x7ef07a), h * 0.015f, 0));
    TextStyle t = titleText(h * 0.025f);
    t.fill = rgb(0x9dff8a);
    t.shade = rgb(0x43c15a);
    float px = fitTextSize("READY!", w * 0.6f, h * 0.32f, h * 0.3f, t.outline);
    drawText(c, "READY!", {w / 2, h / 2}, px, t);
}

void makeControlSchemeGamepad(Canvas& c, int pad) {
    float w = static_cast<float>(c.width());
    drawPanel(c, {w * 0.04f, w * 0.04f, w * 0.96f, w * 0.96f}, rgb(0xf3f0fb), rgb(0xb3a6e0), w * 0.16f,
              w * 0.025f);
    drawGamepad(c, {{w * 0.5f, w * 0.48f}, w * 0.4f, 0}, {}, kGold);
    paint(c, circle({w * 0.76f, w * 0.74f}, w * 0.14f), toon(kPlum, w * 0.025f, w * 0.03f));
    drawText(c, std::to_string(pad), {w * 0.76f, w * 0.74f}, w * 0.17f, titleText(w * 0.015f));
}

void makeControlSchemeKeyboard(Canvas& c, bool leftHalf) {
    float w = static_cast<float>(c.width());
    drawPanel(c, {w * 0.04f, w * 0.04f, w * 0.96f, w * 0.96f}, rgb(0xf3f0fb), rgb(0xb3a6e0), w * 0.16f,
              w * 0.025f);
    drawKeyboard(c, {{w * 0.5f, w * 0.42f}, w * 0.26f, 0}, leftHalf, kGold);
    TextStyle t = titleText(w * 0.018f);
    t.fill = kPlum;
    t.shade = shadeOf(kPlum, 0.8f);
    t.ink = kWhite;
    t.shadow = 0;
    drawText(c, leftHalf ? "LEFT" : "RIGHT", {w * 0.5f, w * 0.74f}, w * 0.16f, t, w * 0.7f);
}

void makeControlSchemeComputer(Canvas& c) {
    // A computer's seat: a little screen-faced robot instead of the keys or pad a person holds.
    float w = static_cast<float>(c.width());
    drawPanel(c, {w * 0.04f, w * 0.04f, w * 0.96f, w * 0.96f}, rgb(0xf3f0fb), rgb(0xb3a6e0), w * 0.16f,
              w * 0.025f);
    float line = w * 0.022f;
    paint(c, capsule({w * 0.5f, w * 0.2f}, {w * 0.5f, w * 0.3f}, w * 0.018f), toon(kPlum, line * 0.6f, 0));
    paint(c, circle({w * 0.5f, w * 0.18f}, w * 0.045f), toon(kGold, line * 0.8f, w * 0.012f));
    for (float s : {-1.0f, 1.0f}) {
        paint(c, box({w * (0.5f + 0.27f * s), w * 0.44f}, {w * 0.04f, w * 0.07f}, w * 0.03f),
              toon(rgb(0xb3a6e0), line * 0.8f, w * 0.01f));
    }
    paint(c, box({w * 0.5f, w * 0.44f}, {w * 0.24f, w * 0.15f}, w * 0.07f), toon(kPlum, line, w * 0.03f));
    for (float s : {-1.0f, 1.0f}) {
        glow(c, circle({w * (0.5f + 0.1f * s), w * 0.42f}, w * 0.04f), withAlpha(kGold, 0.7f),
             static_cast<int>(w * 0.03f));
        paint(c, circle({w * (0.5f + 0.1f * s), w * 0.42f}, w * 0.04f), toon(rgb(0xfff066), line * 0.5f, 0));
    }
    fillShape(c, capsule({w * 0.44f, w * 0.51f}, {w * 0.56f, w * 0.51f}, w * 0.014f), rgb(0xfff066));
    TextStyle t = titleText(w * 0.018f);
    t.fill = kPlum;
    t.shade = shadeOf(kPlum, 0.8f);
    t.ink = kWhite;
    t.shadow = 0;
    drawText(c, "CPU", {w * 0.5f, w * 0.76f}, w * 0.16f, t, w * 0.7f);
}

void makeHeart(Canvas& c, bool left) {
    // Each half covers half the screen. One big heart is drawn across both pictures, centred
    // on the seam, so the halves meet without a line and share one light.
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    float seam = left ? w : 0;
    Look back;
    back.fillAt = verticalGradient(rgb(0xe8406f), rgb(0xa8205a), 0, h);
    paint(c, box({w / 2, h / 2}, {w / 2 + 2, h / 2 + 2}), back);
    for (int i = 0; i < 26; ++i) {
        float x = std::fmod(i * 397.0f + (left ? 0 : 211.0f), w * 0.9f) + w * 0.05f;
        float y = std::fmod(i * 613.0f, h * 0.92f) + h * 0.04f;
        float r = 18.0f + (i % 4) * 7;
        Shape small = unite({circle({x - r * 0.5f, y - r * 0.2f}, r * 0.55f),
                             circle({x + r * 0.5f, y - r * 0.2f}, r * 0.55f),
                             polygon({{x - r * 1.02f, y}, {x + r * 1.02f, y}, {x, y + r * 1.1f}})});
        fillShape(c, small, withAlpha(rgb(0xff9fc0), 0.22f));
    }
    float lobeR = w * 0.47f;
    Vec2 lobe{seam - lobeR * 0.94f, h * 0.33f};
    Vec2 tip{seam, h * 0.93f};
    // The sides run from the tip to where they touch the lobes.
    Vec2 toTip = tip - lobe;
    float d = length(toTip);
    float angle = std::atan2(toTip.y, toTip.x) + std::acos(lobeR / d);
    Vec2 touch = lobe + Vec2{std::cos(angle), std::sin(angle)} * lobeR;
    Shape heart = unite({circle(lobe, lobeR), circle({2 * seam - lobe.x, lobe.y}, lobeR),
                         polygon({touch, {seam, lobe.y}, {2 * seam - touch.x, touch.y}, tip})});
    Look look = toon(rgb(0xff7fa8), 12, 60);
    look.fillAt = verticalGradient(rgb(0xff9cbc), rgb(0xf2557f), h * 0.1f, h * 0.9f);
    paint(c, heart, look);
    if (left) {
        fillShape(c, ellipse({w * 0.38f, h * 0.2f}, w * 0.12f, h * 0.045f, 25.0f), withAlpha(kWhite, 0.45f));
    }
}

} // namespace assetgen
