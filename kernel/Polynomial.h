#pragma once
// c[0] + c[1] x + ... + c[N-1] x^(N-1): Horner's rule for the two leading coefficients, whose
// roundings weigh most in the result, and Estrin's scheme for the rest (pairs c[2i] + c[2i+1] x,
// then pairs of those with x^2, with x^4, ...), whose dependency chain is about log2 N steps
// long instead of N, so the vector units stay busy. The same operations in the same order on
// every path.

#include "kernel/Lanes.h"

namespace kernel {

// One level of Estrin's scheme: n values paired with power into (n + 1) / 2, until one is left.
// The level count is a template argument, so every loop has a trip count known when compiling.
template <int n, class V>
KERNEL_INLINE V EstrinLevels(V* level, V power) {
  if constexpr (n == 1) {
    return level[0];
  } else {
#pragma GCC unroll 8
    for (int i = 0; i < n / 2; ++i) level[i] = level[2 * i] + level[2 * i + 1] * power;
    if constexpr (n % 2 != 0) level[n / 2] = level[n - 1];
    return EstrinLevels<(n + 1) / 2>(level, power * power);
  }
}

template <int N, class V>
KERNEL_INLINE V Estrin(V x, const double* c) {
  V level[(N + 1) / 2];
#pragma GCC unroll 16
  for (int i = 0; i < N / 2; ++i) level[i] = c[2 * i] + c[2 * i + 1] * x;
  if constexpr (N % 2 != 0) level[N / 2] = V{} + c[N - 1];
  return EstrinLevels<(N + 1) / 2>(level, x * x);
}

template <int N, class V>
KERNEL_INLINE V Polynomial(V x, const double (&c)[N]) {
  static_assert(N >= 4, "the leading two coefficients by Horner, at least two more by Estrin");
  return c[0] + x * (c[1] + x * Estrin<N - 2>(x, c + 2));
}

}  // namespace kernel
