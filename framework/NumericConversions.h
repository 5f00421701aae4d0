#pragma once
// Conversions that are defined for every input. A plain double -> integer cast is undefined
// behaviour for NaN and for values outside the integer range; these clamp instead (NaN gives 0).

#include <cmath>
#include <cstdint>
#include <limits>

inline int32_t TruncToInt(double v) {
  // Everything that truncates into the range converts directly (NaN fails both tests); one
  // range test, because the audio thread converts parameter values every sample.
  if (v > -2147483649.0 && v < 2147483648.0) return static_cast<int32_t>(v);
  if (std::isnan(v)) return 0;
  return v > 0.0 ? std::numeric_limits<int32_t>::max() : std::numeric_limits<int32_t>::min();
}

inline int32_t FloorToInt(double v) { return TruncToInt(std::floor(v)); }

// A normalised value held in [0, 1]; NaN gives 0.
inline double ClampNormalized(double v) { return v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0; }
