#pragma once
// Applies a lane algorithm to a span, a vector at a time; the last few values go through the
// same vector code, padded with zeros, so every value is computed the same way.

namespace kernel {

template <class L, class Algorithm>
inline void ForEachVector(const double* x, double* out, int count, Algorithm algorithm) {
  constexpr int N = L::kWidth;
  int i = 0;
  for (; i + N <= count; i += N) L::Store(out + i, algorithm(L::Load(x + i)));
  if (i < count) {
    double in[N] = {}, result[N];
    for (int k = 0; i + k < count; ++k) in[k] = x[i + k];
    L::Store(result, algorithm(L::Load(in)));
    for (int k = 0; i + k < count; ++k) out[i + k] = result[k];
  }
}

}  // namespace kernel

// The span functions of one instruction set, in namespace kernel::<name>. Included once by the
// translation unit compiled for that instruction set.
#define VELMORA_KERNEL_INLINE_LAMBDA(Lanes, Algorithm) \
  [](Lanes::V v) __attribute__((always_inline)) { return Algorithm<Lanes>(v); }
#define VELMORA_KERNEL_SPANS(name, Lanes)                                                      \
  namespace kernel {                                                                           \
  namespace name {                                                                             \
  void SinSpan(const double* x, double* out, int count) {                                      \
    ForEachVector<Lanes>(x, out, count, VELMORA_KERNEL_INLINE_LAMBDA(Lanes, SinOf));           \
  }                                                                                            \
  void TanhSpan(const double* x, double* out, int count) { TanhSpanOf<Lanes>(x, out, count); } \
  void ExpSpan(const double* x, double* out, int count) {                                      \
    ForEachVector<Lanes>(x, out, count, VELMORA_KERNEL_INLINE_LAMBDA(Lanes, ExpOf));           \
  }                                                                                            \
  void LogSpan(const double* x, double* out, int count) {                                      \
    ForEachVector<Lanes>(x, out, count, VELMORA_KERNEL_INLINE_LAMBDA(Lanes, LogOf));           \
  }                                                                                            \
  }                                                                                            \
  }
