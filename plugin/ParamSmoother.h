#pragma once
// One-pole smoothing of a setting, entirely in single precision: each advance keeps 0.99 of
// the remaining distance to the target.

struct ParamSmoother {
  float a = 0.99f;
  float b = 1.0f - 0.99f;
  float z = 0.0f;

  float Advance(double target) {
    const float x = static_cast<float>(target);
    z = x * b + a * z;
    return z;
  }
};
