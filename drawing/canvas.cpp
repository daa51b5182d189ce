#include "drawing/canvas.hpp"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>

namespace drawing {

Rgba rgb(unsigned hex, float alpha) {
    return {((hex >> 16) & 0xff) / 255.0f, ((hex >> 8) & 0xff) / 255.0f, (hex & 0xff) / 255.0f, alpha};
}

Rgba mix(Rgba from, Rgba to, float t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

Rgba withAlpha(Rgba c, float alpha) {
    return {c.r, c.g, c.b, alpha};
}

Rgba shadeOf(Rgba c, float k) {
    if (k <= 1.0f) {
        return {c.r * k, c.g * k, c.b * k, c.a};
    }
    float t = std::min(k - 1.0f, 1.0f);
    return {c.r + (1 - c.r) * t, c.g + (1 - c.g) * t, c.b + (1 - c.b) * t, c.a};
}

namespace {

// One box pass along rows (dx = 1) or columns, with a running sum.
void boxPass(Mask& m, int radius, bool rows) {
    int lines = rows ? m.height : m.width;
    int len = rows ? m.width : m.height;
    std::vector<float> line(len);
    float norm = 1.0f / (2 * radius + 1);
    for (int l = 0; l < lines; ++l) {
        auto get = [&](int i) { return rows ? m.at(i, l) : m.at(l, i); };
        float sum = 0;
        for (int i = -radius; i <= radius; ++i) {
            sum += get(i);
        }
        for (int i = 0; i < len; ++i) {
            line[i] = sum * norm;
            sum += get(i + radius + 1) - get(i - radius);
        }
        for (int i = 0; i < len; ++i) {
            (rows ? m.ref(i, l) : m.ref(l, i)) = line[i];
        }
    }
}

} // namespace

void blur(Mask& mask, int radius) {
    if (radius <= 0 || mask.v.empty()) {
        return;
    }
    int r = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(mask, r, true);
        boxPass(mask, r, false);
    }
}

Canvas::Canvas(int w, int h) : width_(w), height_(h), px_(static_cast<size_t>(w) * h) {}

void Canvas::blend(int x, int y, Rgba c, float coverage) {
    if (!inside(x, y)) {
        return;
    }
    float sa = c.a * std::clamp(coverage, 0.0f, 1.0f);
    if (sa <= 0.0f) {
        return;
    }
    Rgba& d = px_[index(x, y)];
    float outA = sa + d.a * (1.0f - sa);
    if (outA <= 1e-6f) {
        d = {};
        return;
    }
    float k = d.a * (1.0f - sa);
    d.r = (c.r * sa + d.r * k) / outA;
    d.g = (c.g * sa + d.g * k) / outA;
    d.b = (c.b * sa + d.b * k) / outA;
    d.a = outA;
}

void Canvas::erase(int x, int y, float coverage) {
    if (inside(x, y)) {
        px_[index(x, y)].a *= 1.0f - std::clamp(coverage, 0.0f, 1.0f);
    }
}

void Canvas::fill(Rgba colour) {
    std::fill(px_.begin(), px_.end(), colour);
}

void Canvas::drawMask(const Mask& mask, int ox, int oy, Rgba colour) {
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            float c = mask.v[static_cast<size_t>(y) * mask.width + x];
            if (c > 0.0f) {
                blend(ox + x, oy + y, colour, c);
            }
        }
    }
}

void Canvas::drawCanvas(const Canvas& src, float x, float y, float w, float h) {
    if (src.width_ == 0 || src.height_ == 0 || w <= 0 || h <= 0) {
        return;
    }
    float sx = src.width_ / w;
    float sy = src.height_ / h;
    int x0 = std::max(0, static_cast<int>(std::floor(x)));
    int y0 = std::max(0, static_cast<int>(std::floor(y)));
    int x1 = std::min(width_, static_cast<int>(std::ceil(x + w)));
    int y1 = std::min(height_, static_cast<int>(std::ceil(y + h)));
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            // Source footprint of this destination pixel, averaged with premultiplied alpha.
            float fx0 = (px - x) * sx, fx1 = (px + 1 - x) * sx;
            float fy0 = (py - y) * sy, fy1 = (py + 1 - y) * sy;
            int ix0 = std::clamp(static_cast<int>(fx0), 0, src.width_ - 1);
            int ix1 = std::clamp(static_cast<int>(std::ceil(fx1)) - 1, ix0, src.width_ - 1);
            int iy0 = std::clamp(static_cast<int>(fy0), 0, src.height_ - 1);
            int iy1 = std::clamp(static_cast<int>(std::ceil(fy1)) - 1, iy0, src.height_ - 1);
            float r = 0, g = 0, b = 0, a = 0;
            int n = 0;
            for (int iy = iy0; iy <= iy1; ++iy) {
                for (int ix = ix0; ix <= ix1; ++ix) {
                    const Rgba& s = src.px_[src.index(ix, iy)];
                    r += s.r * s.a;
                    g += s.g * s.a;
                    b += s.b * s.a;
                    a += s.a;
                    ++n;
                }
            }
            if (a > 1e-6f) {
                blend(px, py, {r / a, g / a, b / a, a / n}, 1.0f);
            }
        }
    }
}

Mask Canvas::alphaMask() const {
    Mask m(width_, height_);
    for (size_t i = 0; i < px_.size(); ++i) {
        m.v[i] = px_[i].a;
    }
    return m;
}

sf::Image Canvas::toImage() const {
    std::vector<sf::Uint8> bytes(px_.size() * 4);
    auto q = [](float v) { return static_cast<sf::Uint8>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (size_t i = 0; i < px_.size(); ++i) {
        const Rgba& p = px_[i];
        bytes[i * 4 + 0] = q(p.r);
        bytes[i * 4 + 1] = q(p.g);
        bytes[i * 4 + 2] = q(p.b);
        bytes[i * 4 + 3] = q(p.a);
    }
    sf::Image image;
    image.create(static_cast<unsigned>(width_), static_cast<unsigned>(height_), bytes.data());
    return image;
}

std::string Canvas::toPng() const {
    const sf::Image image = toImage();
    if (width_ <= 0 || height_ <= 0) {
        return "";
    }
    std::string out;
    auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
    };
    if (stbi_write_png_to_func(append, &out, width_, height_, 4, image.getPixelsPtr(), width_ * 4) == 0) {
        return "";
    }
    return out;
}

} // namespace drawing
