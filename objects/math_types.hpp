#pragma once

// Small vector and matrix types. Matrices are row-major with the translation in the last
// column (elements 3, 7, 11); they are transposed when handed to OpenGL.

#include <array>
#include <cmath>

constexpr float kPi = 3.1415927f;
constexpr float kDegToRad = kPi / 180.0f;
constexpr float kRadToDeg = 180.0f / kPi;

struct vec2 {
    float x = 0, y = 0;
    bool operator==(const vec2&) const = default;
};
struct vec3 {
    float x = 0, y = 0, z = 0;
    bool operator==(const vec3&) const = default;
};
struct vec4 {
    float x = 0, y = 0, z = 0, w = 0;
};

inline vec2 operator+(vec2 a, vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline vec2 operator-(vec2 a, vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline vec2 operator-(vec2 a) {
    return {-a.x, -a.y};
}
inline vec2 operator*(vec2 a, float s) {
    return {a.x * s, a.y * s};
}
inline vec2 operator*(float s, vec2 a) {
    return {a.x * s, a.y * s};
}
inline vec2 operator/(vec2 a, float s) {
    return {a.x / s, a.y / s};
}
inline vec2& operator+=(vec2& a, vec2 b) {
    return a = a + b;
}
inline vec2& operator-=(vec2& a, vec2 b) {
    return a = a - b;
}
inline float dot(vec2 a, vec2 b) {
    return a.x * b.x + a.y * b.y;
}
inline float cross(vec2 a, vec2 b) {
    return a.x * b.y - a.y * b.x;
}
// Cross of a scalar (an angular velocity) with a vector.
inline vec2 cross(float w, vec2 r) {
    return {-w * r.y, w * r.x};
}
inline float lengthSquared(vec2 a) {
    return dot(a, a);
}
inline float length(vec2 a) {
    return std::sqrt(dot(a, a));
}

inline vec3 operator+(vec3 a, vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline vec3 operator-(vec3 a, vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline vec3 operator*(vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline float dot(vec3 a, vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline vec3 cross(vec3 a, vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline vec3 normalize(vec3 a) {
    float len = std::sqrt(dot(a, a));
    return len > 0 ? a * (1.0f / len) : a;
}

// 4 x 4 float matrix, row-major: m[row * 4 + column].
struct mat4 {
    std::array<float, 16> m{};

    static mat4 identity() {
        mat4 r;
        r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
        return r;
    }
    static mat4 translation(vec3 t) {
        mat4 r = identity();
        r.m[3] = t.x;
        r.m[7] = t.y;
        r.m[11] = t.z;
        return r;
    }
    static mat4 scaling(vec3 s) {
        mat4 r;
        r.m[0] = s.x;
        r.m[5] = s.y;
        r.m[10] = s.z;
        r.m[15] = 1.0f;
        return r;
    }
    static mat4 rotationX(float radians);
    static mat4 rotationY(float radians);
    static mat4 rotationZ(float radians);

    float& operator[](int i) { return m[static_cast<size_t>(i)]; }
    float operator[](int i) const { return m[static_cast<size_t>(i)]; }
    const float* data() const { return m.data(); }

    // The same matrix in column-major order, as OpenGL wants it with transpose = false.
    mat4 transposed() const;
    // This matrix applied to the point (x, y, 0, 1).
    vec2 transformPoint(vec2 p) const {
        return {m[0] * p.x + m[1] * p.y + m[3], m[4] * p.x + m[5] * p.y + m[7]};
    }
};

mat4 operator*(const mat4& a, const mat4& b);

// Inverse of a matrix whose bottom row is (0, 0, 0, 1); the identity when it is singular.
mat4 inverseAffine(const mat4& a);

// Splits a local-to-world matrix into position, Euler angles (degrees; x, then y, then z as the
// transform composes them) and the lengths of its axes.
void decompose(const mat4& m, vec3& position, vec3& rotationDegrees, vec3& scale);
