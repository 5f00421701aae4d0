#pragma once
// The faint static saturation of the main path and the sidechain: a sine and two hyperbolic
// tangents of high powers of x, scaled down by 10^-2.25, so it only bends loud material.

#include <cmath>

inline constexpr double kColourAmount = 0.005623413251903491;  // 10^-2.25

inline double ColourCurve(double x) {
  const double x3 = x * x * x;
  const double x4 = x3 * x;
  return x + kColourAmount * (std::sin(x4) - (std::tanh(x3) - std::tanh(x4)));
}
