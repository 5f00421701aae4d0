#pragma once
// One-pole smoothing of a setting, entirely in single precision: each advance keeps 0.99 of
// the remaining distance to the target.

#include "plugin/SameBits.h"

struct ParamSmoother {
  float a = 0.99f;
  float b = 1.0f - 0.99f;
  float z = 0.0f;

  float Advance(double target) {
    const float x = static_cast<float>(target);
    z = x * b + a * z;
    return z;
  }

  // Whether z is a fixed point for this target: then every further advance towards it answers z
  // again, bit for bit, and may be skipped. A smoother reaches one within a few hundred advances.
  bool SettledAt(double target) const {
    const float x = static_cast<float>(target);
    const float next = x * b + a * z;
    return SameBits(next, z);
  }
};
