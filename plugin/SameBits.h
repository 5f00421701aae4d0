#pragma once
// Exact equality of two floating-point values as bit patterns: whether a value computed from one of them may be
// reused for the other. Unlike ==, it tells -0 from +0 (1 / x differs) and finds a NaN equal to
// itself, so a remembered result is always the one a fresh computation would give.

#include <cstdint>
#include <cstring>

inline bool SameBits(float a, float b) {
  uint32_t x, y;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return x == y;
}

inline bool SameBits(double a, double b) {
  uint64_t x, y;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return x == y;
}
