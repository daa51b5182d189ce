#pragma once

// Sine, cosine, arc tangent, exponential, logarithm and power whose results are the same bit
// for bit on every x86-64 processor. The C library picks its own versions of these by what the
// processor offers (with FMA or without), and those may round the last bit differently, so a
// match played on two machines would slowly part. Everything that moves the match (physics,
// gameplay, the computer players, the match rules) calls these instead; drawing may use the
// C library's. Each is computed in double precision from plain +, -, *, / and sqrt, which IEEE
// fixes exactly, and rounded once to float: within a unit in the last place of the C library's.

namespace portable {

float sin(float radians);
float cos(float radians);
float atan2(float y, float x);
float asin(float x);
float exp(float x);
float log(float x);
float pow(float base, float exponent);

} // namespace portable
