#include "drawing/paint.hpp"

#include <algorithm>
#include <cmath>

namespace drawing {

namespace {

float coverage(float d) {
    return std::clamp(0.5f - d, 0.0f, 1.0f);
}

struct PixelRange {
    int x0, y0, x1, y1;
};

PixelRange rangeOf(const Bounds& b, float pad, int w, int h) {
    return {std::max(0, static_cast<int>(std::floor(b.x0 - pad))),
            std::max(0, static_cast<int>(std::floor(b.y0 - pad))),
            std::min(w, static_cast<int>(std::ceil(b.x1 + pad)) + 1),
            std::min(h, static_cast<int>(std::ceil(b.y1 + pad)) + 1)};
}

// The light comes from the upper left: shade on the lower right, rim on the upper left.
const Vec2 kShadeDir{0.4f, 0.92f};

} // namespace

Look toon(Rgba fill, float outline, float shadeDepth) {
    Look l;
    l.fill = fill;
    l.shade = shadeOf(fill, 0.78f);
    l.shadeDepth = shadeDepth;
    l.light = withAlpha(shadeOf(fill, 1.45f), 0.8f);
    l.lightDepth = shadeDepth * 0.35f;
    l.outline = outline;
    return l;
}

void paint(Canvas& canvas, const Shape& shape, const Look& look) {
    PixelRange r = rangeOf(shape.bounds, look.outline + 2, canvas.width(), canvas.height());
    Vec2 shadeShift = kShadeDir * look.shadeDepth;
    Vec2 lightShift = kShadeDir * (-look.lightDepth);
    for (int y = r.y0; y < r.y1; ++y) {
        for (int x = r.x0; x < r.x1; ++x) {
            Vec2 p{x + 0.5f, y + 0.5f};
            float d = shape.distance(p);
            if (d > look.outline + 1.0f) {
                continue;
            }
            if (look.outline > 0) {
                canvas.blend(x, y, look.ink, coverage(d - look.outline) * look.opacity);
            }
            float c = coverage(d) * look.opacity;
            if (c <= 0) {
                continue;
            }
            Rgba fill = look.fillAt ? look.fillAt(p) : look.fill;
            // The second tone covers what the shape, moved up and left, no longer covers.
            if (look.shade.a > 0 && look.shadeDepth > 0) {
                float s = 1.0f - coverage(shape.distance(p + shadeShift));
                fill = mix(fill, withAlpha(look.shade, fill.a), s * look.shade.a);
            }
            if (look.light.a > 0 && look.lightDepth > 0) {
                float s = (1.0f - coverage(shape.distance(p + lightShift))) * coverage(-d - 1.0f);
                fill = mix(fill, withAlpha(look.light, fill.a), s * look.light.a);
            }
            canvas.blend(x, y, fill, c);
        }
    }
}

void fillShape(Canvas& canvas, const Shape& shape, Rgba colour) {
    Look l;
    l.fill = colour;
    paint(canvas, shape, l);
}

void cutShape(Canvas& canvas, const Shape& shape) {
    PixelRange r = rangeOf(shape.bounds, 2, canvas.width(), canvas.height());
    for (int y = r.y0; y < r.y1; ++y) {
        for (int x = r.x0; x < r.x1; ++x) {
            canvas.erase(x, y, coverage(shape.distance({x + 0.5f, y + 0.5f})));
        }
    }
}

Mask shapeMask(int width, int height, const Shape& shape) {
    Mask m(width, height);
    PixelRange r = rangeOf(shape.bounds, 2, width, height);
    for (int y = r.y0; y < r.y1; ++y) {
        for (int x = r.x0; x < r.x1; ++x) {
            m.ref(x, y) = coverage(shape.distance({x + 0.5f, y + 0.5f}));
        }
    }
    return m;
}

namespace {

// Blurs a mask whose top-left corner sits at (ox, oy) on a padded copy, so the glow is not cut
// at the mask's edge, and paints it.
void glowAt(Canvas& canvas, const Mask& mask, int ox, int oy, Rgba colour, int radius) {
    Mask padded(mask.width + 2 * radius, mask.height + 2 * radius);
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            padded.ref(x + radius, y + radius) = mask.at(x, y);
        }
    }
    blur(padded, radius);
    for (float& v : padded.v) {
        v = std::min(1.0f, v * 1.6f);
    }
    canvas.drawMask(padded, ox - radius, oy - radius, colour);
}

} // namespace

void glowMask(Canvas& canvas, Mask mask, Rgba colour, int radius) {
    glowAt(canvas, mask, 0, 0, colour, radius);
}

void glow(Canvas& canvas, const Shape& shape, Rgba colour, int radius) {
    // Only the shape's neighbourhood is blurred, not the whole canvas.
    PixelRange r = rangeOf(shape.bounds, 2, canvas.width(), canvas.height());
    int x0 = std::max(0, r.x0 - radius), y0 = std::max(0, r.y0 - radius);
    int x1 = std::min(canvas.width(), r.x1 + radius), y1 = std::min(canvas.height(), r.y1 + radius);
    if (x1 <= x0 || y1 <= y0) {
        return;
    }
    Mask m(x1 - x0, y1 - y0);
    for (int y = std::max(r.y0, y0); y < std::min(r.y1, y1); ++y) {
        for (int x = std::max(r.x0, x0); x < std::min(r.x1, x1); ++x) {
            m.ref(x - x0, y - y0) = coverage(shape.distance({x + 0.5f, y + 0.5f}));
        }
    }
    glowAt(canvas, m, x0, y0, colour, radius);
}

std::function<Rgba(Vec2)> verticalGradient(Rgba top, Rgba bottom, float y0, float y1) {
    return [=](Vec2 p) { return mix(top, bottom, std::clamp((p.y - y0) / (y1 - y0), 0.0f, 1.0f)); };
}

std::function<Rgba(Vec2)> radialGradient(Vec2 c, float radius, Rgba inner, Rgba outer) {
    return [=](Vec2 p) { return mix(inner, outer, std::clamp(length(p - c) / radius, 0.0f, 1.0f)); };
}

void gradientFill(Canvas& c, Rgba top, Rgba bottom, float y0, float y1) {
    float h = static_cast<float>(c.height());
    if (y1 < 0) {
        y1 = h;
    }
    for (int y = 0; y < c.height(); ++y) {
        Rgba row = mix(top, bottom, std::clamp((y + 0.5f - y0) / (y1 - y0), 0.0f, 1.0f));
        for (int x = 0; x < c.width(); ++x) {
            unsigned n = (static_cast<unsigned>(x) * 73856093u) ^ (static_cast<unsigned>(y) * 19349663u);
            float jitter = ((n * 2654435761u >> 24) / 255.0f - 0.5f) / 255.0f;
            c.ref(x, y) = {row.r + jitter, row.g + jitter, row.b + jitter, row.a};
        }
    }
}

} // namespace drawing
