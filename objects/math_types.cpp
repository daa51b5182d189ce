#include "objects/math_types.hpp"

#include "objects/portable_math.hpp"

#include <algorithm>

mat4 mat4::rotationX(float radians) {
    mat4 r = identity();
    float c = portable::cos(radians), s = portable::sin(radians);
    r.m[5] = c;
    r.m[6] = -s;
    r.m[9] = s;
    r.m[10] = c;
    return r;
}

mat4 mat4::rotationY(float radians) {
    mat4 r = identity();
    float c = portable::cos(radians), s = portable::sin(radians);
    r.m[0] = c;
    r.m[2] = s;
    r.m[8] = -s;
    r.m[10] = c;
    return r;
}

mat4 mat4::rotationZ(float radians) {
    mat4 r = identity();
    float c = portable::cos(radians), s = portable::sin(radians);
    r.m[0] = c;
    r.m[1] = -s;
    r.m[4] = s;
    r.m[5] = c;
    return r;
}

mat4 mat4::transposed() const {
    mat4 r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            r.m[static_cast<size_t>(col * 4 + row)] = m[static_cast<size_t>(row * 4 + col)];
        }
    }
    return r;
}

mat4 operator*(const mat4& a, const mat4& b) {
    mat4 r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a[row * 4 + k] * b[k * 4 + col];
            }
            r[row * 4 + col] = sum;
        }
    }
    return r;
}

mat4 inverseAffine(const mat4& a) {
    // Inverse of the upper 3 x 3 by cofactors, then the translation taken back through it.
    float a00 = a[0], a01 = a[1], a02 = a[2];
    float a10 = a[4], a11 = a[5], a12 = a[6];
    float a20 = a[8], a21 = a[9], a22 = a[10];
    float c00 = a11 * a22 - a12 * a21;
    float c01 = a12 * a20 - a10 * a22;
    float c02 = a10 * a21 - a11 * a20;
    float det = a00 * c00 + a01 * c01 + a02 * c02;
    if (std::fabs(det) < 1e-12f) {
        return mat4::identity();
    }
    float inv = 1.0f / det;
    mat4 r = mat4::identity();
    r[0] = c00 * inv;
    r[1] = (a02 * a21 - a01 * a22) * inv;
    r[2] = (a01 * a12 - a02 * a11) * inv;
    r[4] = c01 * inv;
    r[5] = (a00 * a22 - a02 * a20) * inv;
    r[6] = (a02 * a10 - a00 * a12) * inv;
    r[8] = c02 * inv;
    r[9] = (a01 * a20 - a00 * a21) * inv;
    r[10] = (a00 * a11 - a01 * a10) * inv;
    float tx = a[3], ty = a[7], tz = a[11];
    r[3] = -(r[0] * tx + r[1] * ty + r[2] * tz);
    r[7] = -(r[4] * tx + r[5] * ty + r[6] * tz);
    r[11] = -(r[8] * tx + r[9] * ty + r[10] * tz);
    return r;
}

void decompose(const mat4& m, vec3& position, vec3& rotationDegrees, vec3& scale) {
    auto clampUnit = [](float v) { return std::max(-1.0f, std::min(1.0f, v)); };
    position = {m[3], m[7], m[11]};
    scale.x = std::sqrt(m[0] * m[0] + m[4] * m[4] + m[8] * m[8]);
    scale.y = std::sqrt(m[1] * m[1] + m[5] * m[5] + m[9] * m[9]);
    scale.z = std::sqrt(m[2] * m[2] + m[6] * m[6] + m[10] * m[10]);
    // Rounding can push the sines a hair past 1; clamp so a flat object never gets NaN angles.
    float s = clampUnit(m[6] / scale.z);
    float rx = portable::atan2(-s, std::sqrt(1.0f - s * s));
    rotationDegrees.x = rx * kRadToDeg;
    rotationDegrees.y = portable::asin(clampUnit((m[2] / scale.z) / portable::cos(rx))) * kRadToDeg;
    rotationDegrees.z = portable::atan2(m[4] / scale.x, m[5] / scale.y) * kRadToDeg;
}
