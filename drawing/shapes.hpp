#pragma once

// Shapes as signed distance functions in pixel space (negative inside). Distances give
// anti-aliased edges, outlines of any width and the two-tone shading for free.
// Angles are degrees counter-clockwise as seen in the picture.

#include <functional>
#include <vector>

namespace drawing {

struct Vec2 {
    float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(Vec2 a, float s) {
    return {a.x * s, a.y * s};
}
inline Vec2 operator*(float s, Vec2 a) {
    return {a.x * s, a.y * s};
}
float length(Vec2 v);
Vec2 rotated(Vec2 v, float degrees);

struct Bounds {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct Shape {
    std::function<float(Vec2)> sdf;
    Bounds bounds;
    float distance(Vec2 p) const { return sdf(p); }
};

Shape circle(Vec2 centre, float radius);
Shape ellipse(Vec2 centre, float rx, float ry, float degrees = 0);
// A rectangle of the given half size with rounded corners.
Shape box(Vec2 centre, Vec2 half, float radius = 0, float degrees = 0);
Shape capsule(Vec2 a, Vec2 b, float radius);
Shape polygon(std::vector<Vec2> points);
// A line through the points with round ends, as thick as 2 * radius.
Shape stroke(std::vector<Vec2> points, float radius);
Shape star(Vec2 centre, float outer, float inner, int points, float degrees = 0);
Shape ring(Vec2 centre, float radius, float thickness);

Shape unite(Shape a, Shape b);
Shape unite(std::vector<Shape> shapes);
Shape subtract(Shape a, Shape b);
Shape intersect(Shape a, Shape b);
// Grows (positive) or shrinks the shape, rounding its corners.
Shape offset(Shape a, float amount);
Shape translate(Shape a, Vec2 by);

// Maps the local units of a drawing (y up) to picture pixels (y down), so one drawing can be
// made at any size and position, for example a tank part alone or inside an illustration.
struct Xf {
    Vec2 origin;       // pixel position of the local origin
    float scale = 1;   // pixels per local unit
    float degrees = 0; // rotation of the drawing, counter-clockwise
    Vec2 p(Vec2 local) const;
    float len(float units) const { return units * scale; }
    float deg(float localDegrees) const { return localDegrees + degrees; }
    // The same frame moved to a local point, rotated and scaled further.
    Xf child(Vec2 local, float scaleBy = 1, float rotateBy = 0) const;
};

// Points of a circle arc in local units, for strokes (angles counter-clockwise from +x).
std::vector<Vec2> arcPoints(Vec2 centre, float radius, float fromDeg, float toDeg, int steps);
std::vector<Vec2> mapped(const Xf& xf, const std::vector<Vec2>& local);

} // namespace drawing
