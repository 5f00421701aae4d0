#pragma once
// Double -> integer conversions that are defined for every input. A plain cast is undefined
// behaviour for NaN and for values outside the integer range; these clamp instead
// (NaN gives 0).

#include <cmath>
#include <cstdint>
#include <limits>

inline int32_t TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

inline int32_t FloorToInt(double v) { return TruncToInt(std::floor(v)); }
