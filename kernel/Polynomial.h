#pragma once
// c[0] + c[1] x + ... + c[N-1] x^(N-1): Horner's rule for the two leading coefficients, whose
// roundings weigh most in the result, and Estrin's scheme for the rest (pairs c[2i] + c[2i+1] x,
// then pairs of those with x^2, with x^4, ...), whose dependency chain is about log2 N steps
// long instead of N, so the vector units stay busy. The same operations in the same order on
// every path.

#include "kernel/Lanes.h"

namespace kernel {

template <int N, class V>
KERNEL_INLINE V Estrin(V x, const double* c) {
  V level[(N + 1) / 2];
#pragma GCC unroll 16
  for (int i = 0; i < N / 2; ++i) level[i] = c[2 * i] + c[2 * i + 1] * x;
  if (N % 2) level[N / 2] = V{} + c[N - 1];
  V power = x * x;
  int n = (N + 1) / 2;
#pragma GCC unroll 8
  while (n > 1) {
#pragma GCC unroll 8
    for (int i = 0; i < n / 2; ++i) level[i] = level[2 * i] + level[2 * i + 1] * power;
    if (n % 2) level[n / 2] = level[n - 1];
    n = (n + 1) / 2;
    power = power * power;
  }
  return level[0];
}

template <int N, class V>
KERNEL_INLINE V Polynomial(V x, const double (&c)[N]) {
  static_assert(N >= 4, "the leading two coefficients by Horner, at least two more by Estrin");
  return c[0] + x * (c[1] + x * Estrin<N - 2>(x, c + 2));
}

}  // namespace kernel
