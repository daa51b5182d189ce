#include "drawing/shapes.hpp"

#include <algorithm>
#include <cmath>

namespace drawing {

namespace {

constexpr float kPi = 3.14159265f;

float dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}

Bounds around(Vec2 c, float r) {
    return {c.x - r, c.y - r, c.x + r, c.y + r};
}

Bounds merged(Bounds a, Bounds b) {
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Bounds grown(Bounds b, float by) {
    return {b.x0 - by, b.y0 - by, b.x1 + by, b.y1 + by};
}

Bounds ofPoints(const std::vector<Vec2>& pts) {
    Bounds b{1e9f, 1e9f, -1e9f, -1e9f};
    for (Vec2 p : pts) {
        b = merged(b, {p.x, p.y, p.x, p.y});
    }
    return b;
}

float segmentDistance(Vec2 p, Vec2 a, Vec2 b) {
    Vec2 pa = p - a, ba = b - a;
    float l2 = dot(ba, ba);
    float h = l2 > 0 ? std::clamp(dot(pa, ba) / l2, 0.0f, 1.0f) : 0.0f;
    return length(pa - ba * h);
}

} // namespace

float length(Vec2 v) {
    return std::sqrt(v.x * v.x + v.y * v.y);
}

Vec2 rotated(Vec2 v, float degrees) {
    // Counter-clockwise on screen, where y grows downwards.
    float a = degrees * kPi / 180.0f;
    float c = std::cos(a), s = std::sin(a);
    return {v.x * c + v.y * s, -v.x * s + v.y * c};
}

Shape circle(Vec2 c, float r) {
    return {[c, r](Vec2 p) { return length(p - c) - r; }, around(c, r)};
}

Shape ellipse(Vec2 c, float rx, float ry, float degrees) {
    // A close approximation of the true distance near the edge, which is all the painter needs.
    return {[c, rx, ry, degrees](Vec2 p) {
                Vec2 q = rotated(p - c, -degrees);
                float k0 = length({q.x / rx, q.y / ry});
                float k1 = length({q.x / (rx * rx), q.y / (ry * ry)});
                if (k1 < 1e-6f) {
                    return -std::min(rx, ry);
                }
                return k0 * (k0 - 1.0f) / k1;
            },
            around(c, std::max(rx, ry))};
}

Shape box(Vec2 c, Vec2 half, float radius, float degrees) {
    radius = std::min({radius, half.x, half.y});
    return {[c, half, radius, degrees](Vec2 p) {
                Vec2 q = rotated(p - c, -degrees);
                Vec2 d{std::fabs(q.x) - half.x + radius, std::fabs(q.y) - half.y + radius};
                float outside = length({std::max(d.x, 0.0f), std::max(d.y, 0.0f)});
                return outside + std::min(std::max(d.x, d.y), 0.0f) - radius;
            },
            around(c, length(half))};
}

Shape capsule(Vec2 a, Vec2 b, float r) {
    return {[a, b, r](Vec2 p) { return segmentDistance(p, a, b) - r; }, grown(ofPoints({a, b}), r)};
}

Shape polygon(std::vector<Vec2> pts) {
    Bounds b = ofPoints(pts);
    return {[pts = std::move(pts)](Vec2 p) {
                // Distance to the nearest edge, negative when the winding says inside.
                float d = 1e9f;
                bool in = false;
                size_t n = pts.size();
                for (size_t i = 0, j = n - 1; i < n; j = i++) {
                    Vec2 a = pts[j], e = pts[i];
                    d = std::min(d, segmentDistance(p, a, e));
                    if ((e.y > p.y) != (a.y > p.y) && p.x < (a.x - e.x) * (p.y - e.y) / (a.y - e.y) + e.x) {
                        in = !in;
                    }
                }
                return in ? -d : d;
            },
            b};
}

Shape stroke(std::vector<Vec2> pts, float r) {
    Bounds b = grown(ofPoints(pts), r);
    return {[pts = std::move(pts), r](Vec2 p) {
                float d = 1e9f;
                for (size_t i = 1; i < pts.size(); ++i) {
                    d = std::min(d, segmentDistance(p, pts[i - 1], pts[i]));
                }
                if (pts.size() == 1) {
                    d = length(p - pts[0]);
                }
                return d - r;
            },
            b};
}

Shape star(Vec2 c, float outer, float inner, int points, float degrees) {
    std::vector<Vec2> pts;
    for (int i = 0; i < points * 2; ++i) {
        float r = i % 2 == 0 ? outer : inner;
        float a = (90.0f + degrees + i * 180.0f / points) * kPi / 180.0f;
        pts.push_back({c.x + r * std::cos(a), c.y - r * std::sin(a)});
    }
    return polygon(std::move(pts));
}

Shape ring(Vec2 c, float radius, float thickness) {
    float h = thickness * 0.5f;
    return {[c, radius, h](Vec2 p) { return std::fabs(length(p - c) - radius) - h; }, around(c, radius + h)};
}

Shape unite(Shape a, Shape b) {
    Bounds bb = merged(a.bounds, b.bounds);
    return {[a = std::move(a.sdf), b = std::move(b.sdf)](Vec2 p) { return std::min(a(p), b(p)); }, bb};
}

Shape unite(std::vector<Shape> shapes) {
    Shape out = std::move(shapes.front());
    for (size_t i = 1; i < shapes.size(); ++i) {
        out = unite(std::move(out), std::move(shapes[i]));
    }
    return out;
}

Shape subtract(Shape a, Shape b) {
    Bounds bb = a.bounds;
    return {[a = std::move(a.sdf), b = std::move(b.sdf)](Vec2 p) { return std::max(a(p), -b(p)); }, bb};
}

Shape intersect(Shape a, Shape b) {
    Bounds bb{std::max(a.bounds.x0, b.bounds.x0), std::max(a.bounds.y0, b.bounds.y0),
              std::min(a.bounds.x1, b.bounds.x1), std::min(a.bounds.y1, b.bounds.y1)};
    return {[a = std::move(a.sdf), b = std::move(b.sdf)](Vec2 p) { return std::max(a(p), b(p)); }, bb};
}

Shape offset(Shape a, float amount) {
    Bounds bb = grown(a.bounds, std::max(amount, 0.0f));
    return {[a = std::move(a.sdf), amount](Vec2 p) { return a(p) - amount; }, bb};
}

Shape translate(Shape a, Vec2 by) {
    Bounds bb{a.bounds.x0 + by.x, a.bounds.y0 + by.y, a.bounds.x1 + by.x, a.bounds.y1 + by.y};
    return {[a = std::move(a.sdf), by](Vec2 p) { return a(p - by); }, bb};
}

Vec2 Xf::p(Vec2 local) const {
    Vec2 flipped{local.x * scale, -local.y * scale};
    return origin + rotated(flipped, degrees);
}

Xf Xf::child(Vec2 local, float scaleBy, float rotateBy) const {
    return {p(local), scale * scaleBy, degrees + rotateBy};
}

std::vector<Vec2> arcPoints(Vec2 c, float r, float fromDeg, float toDeg, int steps) {
    std::vector<Vec2> pts;
    for (int i = 0; i <= steps; ++i) {
        float a = (fromDeg + (toDeg - fromDeg) * i / steps) * kPi / 180.0f;
        pts.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return pts;
}

std::vector<Vec2> mapped(const Xf& xf, const std::vector<Vec2>& local) {
    std::vector<Vec2> out;
    out.reserve(local.size());
    for (Vec2 v : local) {
        out.push_back(xf.p(v));
    }
    return out;
}

} // namespace drawing
