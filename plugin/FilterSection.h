#pragma once
// One second-order section in transposed direct form II. Samples enter and leave in single
// precision; coefficients and state are double precision.

#include <cstdint>

struct FilterSection {
  enum Kind : int32_t { kLowPass = 0, kHighPass = 1, kPeak = 4, kHighShelf = 6 };

  int32_t kind = kLowPass;
  double a0 = 1.0, a1 = 0.0, a2 = 0.0;  // feed-forward
  double b1 = 0.0, b2 = 0.0;            // feedback, subtracted in the update
  double fc = 0.5;                      // corner or centre frequency / sample rate
  double q = 0.707;
  double gainDb = 0.0;  // peak and shelf only; -0 counts as a boost
  double z1 = 0.0, z2 = 0.0;

  // Recomputes a0..b2 from kind, fc, q and gainDb; the state is kept, so a setting change
  // never clicks through a reset. Kinds without a formula here (low-pass among them, which
  // nothing in the effect uses) keep their coefficients.
  void SetCoefficients();

  float ProcessSample(float in) {
    const double x = in;
    const double out = x * a0 + z1;
    z1 = x * a1 + z2 - b1 * out;
    z2 = x * a2 - b2 * out;
    return static_cast<float>(out);
  }
};
