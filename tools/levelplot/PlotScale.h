#pragma once
// A linear mapping from values to pixels along one axis, and the round steps its grid and
// labels fall on.

#include <vector>

struct PlotScale {
  double low = 0.0, high = 1.0;    // value range
  float start = 0.0f, end = 1.0f;  // pixel positions of low and high (end < start for upward axes)

  float ToPixel(double value) const { return start + static_cast<float>((value - low) / (high - low)) * (end - start); }
};

// Multiples of step from the first at or above low up to high.
std::vector<double> GridValues(double low, double high, double step);

// The smallest of 1, 2, 5 x 10^k (and, from one second up, the usual 15 and 30 second and 1, 2,
// 5, 10 minute marks) that splits span into at most maxTicks parts.
double NiceTimeStep(double spanSeconds, int maxTicks);
