// The simulation's own sine, cosine, arc tangent, exponential, logarithm and power: within a unit
// in the last place of the C library's double results rounded to float, over the ranges a match
// uses them in, and with the C library's answers at the edges.
#include "objects/portable_math.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace {

// Floats between a and b (0 when equal, both NaN counting as equal).
int64_t ulpsApart(float a, float b) {
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b) ? 0 : std::numeric_limits<int64_t>::max();
    }
    auto ordered = [](float f) {
        int32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        return bits < 0 ? -static_cast<int64_t>(bits & 0x7fffffff) : static_cast<int64_t>(bits);
    };
    return std::llabs(ordered(a) - ordered(b));
}

} // namespace

TEST(PortableMath, AgreesWithTheLibrarysDoublePrecisionToTheLastPlace) {
    struct Function {
        const char* name;
        std::function<float(float)> ours;
        std::function<double(double)> reference;
        float from, to;
    };
    const Function functions[] = {
        {"sin", portable::sin, [](double x) { return std::sin(x); }, -2000.0f, 2000.0f},
        {"cos", portable::cos, [](double x) { return std::cos(x); }, -2000.0f, 2000.0f},
        {"asin", portable::asin, [](double x) { return std::asin(x); }, -1.0f, 1.0f},
        {"exp", portable::exp, [](double x) { return std::exp(x); }, -80.0f, 80.0f},
        {"log", portable::log, [](double x) { return std::log(x); }, 1e-6f, 1e6f},
        {"atan2(x, 0.7)", [](float x) { return portable::atan2(x, 0.7f); },
         [](double x) { return std::atan2(x, static_cast<double>(0.7f)); }, -500.0f, 500.0f},
        {"atan2(x, -0.7)", [](float x) { return portable::atan2(x, -0.7f); },
         [](double x) { return std::atan2(x, static_cast<double>(-0.7f)); }, -500.0f, 500.0f},
        {"pow(0.2, x)", [](float x) { return portable::pow(0.2f, x); },
         [](double x) { return std::pow(static_cast<double>(0.2f), x); }, -20.0f, 20.0f},
        {"pow(x, 0.01666)", [](float x) { return portable::pow(x, 0.01666f); },
         [](double x) { return std::pow(x, static_cast<double>(0.01666f)); }, 0.0f, 1.0f},
    };
    constexpr int kSamples = 200000;
    for (const Function& f : functions) {
        int64_t worst = 0;
        for (int i = 0; i <= kSamples; ++i) {
            const float x = f.from + (f.to - f.from) * static_cast<float>(i) / kSamples;
            worst = std::max(worst, ulpsApart(f.ours(x), static_cast<float>(f.reference(x))));
        }
        EXPECT_LE(worst, 1) << f.name;
    }
}

TEST(PortableMath, AnswersAtTheEdgesAsTheLibraryDoes) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<float, float> atan2Cases[] = {{0.0f, -1.0f}, {-0.0f, -1.0f}, {0.0f, 0.0f}, {-0.0f, -0.0f},
                                                  {1.0f, 0.0f},  {-1.0f, 0.0f},  {inf, 1.0f},  {1.0f, -inf},
                                                  {-inf, inf},   {inf, -inf},    {nan, 1.0f}};
    for (const auto& [y, x] : atan2Cases) {
        EXPECT_EQ(ulpsApart(portable::atan2(y, x), std::atan2(y, x)), 0) << "atan2(" << y << ", " << x << ")";
    }
    const std::pair<float, float> powCases[] = {{0.0f, 2.0f},  {0.0f, 0.0f},  {0.0f, -1.0f}, {-2.0f, 3.0f},
                                                {-2.0f, 2.0f}, {-2.0f, 0.5f}, {1.0f, nan},   {nan, 0.0f}};
    for (const auto& [base, exponent] : powCases) {
        EXPECT_EQ(ulpsApart(portable::pow(base, exponent), std::pow(base, exponent)), 0)
            << "pow(" << base << ", " << exponent << ")";
    }
    for (float x : {inf, -inf, nan}) {
        EXPECT_TRUE(std::isnan(portable::sin(x)) && std::isnan(portable::cos(x))) << x;
    }
    EXPECT_EQ(portable::exp(-inf), 0.0f);
    EXPECT_EQ(portable::exp(inf), inf);
    EXPECT_EQ(portable::log(0.0f), -inf);
    EXPECT_TRUE(std::isnan(portable::log(-1.0f)));
    EXPECT_TRUE(std::isnan(portable::asin(1.5f)));
}
