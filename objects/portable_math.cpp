#include "objects/portable_math.hpp"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr double kPiD = 3.14159265358979311600e+00;
constexpr double kHalfPi = 1.57079632679489655800e+00;
constexpr double kSixthPi = 5.23598775598298815658e-01;
// pi/2 in two parts: the first has its low bits clear, so k times it is exact for any k a game
// angle reaches.
constexpr double kHalfPiHigh = 1.57079632673412561417e+00;
constexpr double kHalfPiLow = 6.07710050650619224932e-11;
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
constexpr double kSqrt3 = 1.73205080756887719318e+00;
constexpr double kTanTwelfthPi = 2.67949192431122706473e-01;
// ln 2 in two parts, the same way.
constexpr double kLn2High = 6.93147180369123816490e-01;
constexpr double kLn2Low = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.44269504088896338700e+00;
constexpr double kSqrtHalf = 7.07106781186547524401e-01;

// 1/n! for n = 0..16.
constexpr double kInverseFactorial[17] = {1.0,
                                          1.0,
                                          1.0 / 2.0,
                                          1.0 / 6.0,
                                          1.0 / 24.0,
                                          1.0 / 120.0,
                                          1.0 / 720.0,
                                          1.0 / 5040.0,
                                          1.0 / 40320.0,
                                          1.0 / 362880.0,
                                          1.0 / 3628800.0,
                                          1.0 / 39916800.0,
                                          1.0 / 479001600.0,
                                          1.0 / 6227020800.0,
                                          1.0 / 87178291200.0,
                                          1.0 / 1307674368000.0,
                                          1.0 / 20922789888000.0};

// Taylor series of sin and cos on [-pi/4, pi/4]; the first term left out is below 1e-16.
double sinKernel(double r) {
    const double r2 = r * r;
    double sum = 0.0;
    for (int n = 15; n >= 3; n -= 2) {
        sum = sum * r2 + ((n / 2) % 2 == 0 ? kInverseFactorial[n] : -kInverseFactorial[n]);
    }
    return r + r * r2 * sum;
}

double cosKernel(double r) {
    const double r2 = r * r;
    double sum = 0.0;
    for (int n = 16; n >= 2; n -= 2) {
        sum = sum * r2 + ((n / 2) % 2 == 0 ? kInverseFactorial[n] : -kInverseFactorial[n]);
    }
    return 1.0 + r2 * sum;
}

// sin, or cos, of x: x less the nearest multiple k of pi/2, then the kernel for quarter turn k.
double sinOrCos(double x, bool cosine) {
    const double k = std::floor(x * kTwoOverPi + 0.5);
    const double r = (x - k * kHalfPiHigh) - k * kHalfPiLow;
    const double turn = k - 4.0 * std::floor(k / 4.0); // 0..3, also for negative k
    switch ((static_cast<int>(turn) + (cosine ? 1 : 0)) % 4) {
    case 0:
        return sinKernel(r);
    case 1:
        return cosKernel(r);
    case 2:
        return -sinKernel(r);
    default:
        return -cosKernel(r);
    }
}

// Folded to [0, 1] by 1/x, then to |t| <= tan(pi/12) by the pi/6 shift, where the series' first
// term left out is below 1e-17.
double atanOf(double x) {
    const bool negative = std::signbit(x);
    double a = negative ? -x : x;
    const bool inverted = a > 1.0;
    if (inverted) {
        a = 1.0 / a;
    }
    double offset = 0.0;
    if (a > kTanTwelfthPi) {
        a = (a * kSqrt3 - 1.0) / (a + kSqrt3);
        offset = kSixthPi;
    }
    const double a2 = a * a;
    double sum = 0.0;
    for (int n = 11; n >= 0; --n) {
        sum = sum * a2 + (n % 2 == 0 ? 1.0 : -1.0) / static_cast<double>(2 * n + 1);
    }
    double angle = offset + a * sum;
    if (inverted) {
        angle = kHalfPi - angle;
    }
    return negative ? -angle : angle;
}

// The quadrants as the C library has them, signed zeros included.
double atan2Of(double y, double x) {
    if (std::isnan(x) || std::isnan(y)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const double half = std::signbit(y) ? -kPiD : kPiD;
    if (y == 0.0) {
        return std::signbit(x) ? half : y;
    }
    if (x == 0.0) {
        return half / 2.0;
    }
    if (std::isinf(y) || std::isinf(x)) {
        const double q =
            std::isinf(y) ? (std::isinf(x) ? (x > 0.0 ? 0.25 : 0.75) : 0.5) : (x > 0.0 ? 0.0 : 1.0);
        return half * q;
    }
    const double angle = atanOf(y / x);
    return x > 0.0 ? angle : angle + half;
}

// e^x = 2^k e^r with |r| <= ln2 / 2, where the series' first term left out is below 1e-17.
double expOf(double x) {
    if (std::isnan(x)) {
        return x;
    }
    if (x > 709.0) {
        return std::numeric_limits<double>::infinity();
    }
    if (x < -745.0) {
        return 0.0;
    }
    const double k = std::floor(x * kInvLn2 + 0.5);
    const double r = (x - k * kLn2High) - k * kLn2Low;
    double sum = 0.0;
    for (int n = 14; n >= 0; --n) {
        sum = sum * r + kInverseFactorial[n];
    }
    return std::ldexp(sum, static_cast<int>(k));
}

// ln x = e ln 2 + ln m with m in [sqrt(1/2), sqrt(2)), and ln m = 2 atanh(s), s = (m-1)/(m+1),
// |s| <= 0.1716, where the series' first term left out is below 1e-18.
double logOf(double x) {
    if (std::isnan(x) || x < 0.0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (x == 0.0) {
        return -std::numeric_limits<double>::infinity();
    }
    if (std::isinf(x)) {
        return x;
    }
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < kSqrtHalf) {
        m *= 2.0;
        e -= 1;
    }
    const double s = (m - 1.0) / (m + 1.0);
    const double s2 = s * s;
    double sum = 0.0;
    for (int n = 21; n >= 1; n -= 2) {
        sum = sum * s2 + 1.0 / static_cast<double>(n);
    }
    const double de = static_cast<double>(e);
    return de * kLn2High + (de * kLn2Low + 2.0 * s * sum);
}

} // namespace

namespace portable {

float sin(float radians) {
    return std::isfinite(radians) ? static_cast<float>(sinOrCos(radians, false))
                                  : std::numeric_limits<float>::quiet_NaN();
}

float cos(float radians) {
    return std::isfinite(radians) ? static_cast<float>(sinOrCos(radians, true))
                                  : std::numeric_limits<float>::quiet_NaN();
}

float atan2(float y, float x) {
    return static_cast<float>(atan2Of(y, x));
}

float asin(float x) {
    if (!(x >= -1.0f && x <= 1.0f)) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    const double d = x;
    return static_cast<float>(atan2Of(d, std::sqrt((1.0 - d) * (1.0 + d))));
}

float exp(float x) {
    return static_cast<float>(expOf(x));
}

float log(float x) {
    return static_cast<float>(logOf(x));
}

float pow(float base, float exponent) {
    if (exponent == 0.0f || base == 1.0f) {
        return 1.0f;
    }
    if (std::isnan(base) || std::isnan(exponent)) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    const double b = base;
    const double e = exponent;
    if (b < 0.0) {
        if (std::floor(e) != e) {
            return std::numeric_limits<float>::quiet_NaN();
        }
        const bool odd = std::fmod(std::fabs(e), 2.0) == 1.0;
        const float magnitude = static_cast<float>(expOf(e * logOf(-b)));
        return odd ? -magnitude : magnitude;
    }
    if (b == 0.0) {
        return e > 0.0 ? 0.0f : std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(expOf(e * logOf(b)));
}

} // namespace portable
