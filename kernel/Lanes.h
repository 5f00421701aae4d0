#pragma once
// The lane types the kernel's algorithms are written against: one double at a time
// (ScalarLanes), or N doubles side by side in a vector register (VectorLanes<2> for SSE2,
// VectorLanes<4> for AVX2). Every algorithm is a template over one of them and uses only what all
// of them offer: IEEE +, -, *, / on doubles (written as operators), comparisons giving a mask,
// per-lane selection, and 64-bit integer operations on a double's bits. Each lane of a vector
// therefore goes through exactly the operations the scalar type performs on its one value, and
// gives the same bits.
//
// Everything here is a template or a member of one, so a translation unit compiled for AVX2 emits
// only its own instantiations (VectorLanes<4>), never code another unit could pick up.

#include <cstdint>

// The algorithms are inlined into each span loop: one vector never leaves its registers for a call.
#define KERNEL_INLINE inline __attribute__((always_inline))

namespace kernel {

struct ScalarLanes {
  static constexpr int kWidth = 1;
  using V = double;    // values
  using U = uint64_t;  // their bits
  using M = bool;      // per-lane conditions

  static V Load(const double* p) { return *p; }
  static void Store(double* p, V v) { *p = v; }
  static V Splat(double x) { return x; }
  static U SplatU(uint64_t x) { return x; }
  static U Bits(V v) {
    U u;
    __builtin_memcpy(&u, &v, sizeof u);
    return u;
  }
  static V FromBits(U u) {
    V v;
    __builtin_memcpy(&v, &u, sizeof v);
    return v;
  }
  static M Lt(V a, V b) { return a < b; }
  static M Le(V a, V b) { return a <= b; }
  static M Eq(V a, V b) { return a == b; }
  static M BitSet(U u, uint64_t bit) { return (u & bit) != 0; }
  static M And(M a, M b) { return a && b; }
  static M Not(M a) { return !a; }
  static bool Any(M m) { return m; }
  static bool All(M m) { return m; }
  static V Select(M m, V a, V b) { return m ? a : b; }
  static V Abs(V v) { return FromBits(Bits(v) & ~(uint64_t{1} << 63)); }
  // Lane access, for the rare lanes that take a scalar slow path.
  static double Lane(V v, int) { return v; }
  static void SetLane(V& v, int, double x) { v = x; }
  static uint64_t LaneU(U u, int) { return u; }
  static void SetLaneU(U& u, int, uint64_t x) { u = x; }
};

// GCC's vector types of N doubles, their bits, and comparison results.
template <int N>
struct VectorTypes;
template <>
struct VectorTypes<2> {
  typedef double V __attribute__((vector_size(16)));
  typedef uint64_t U __attribute__((vector_size(16)));
  typedef int64_t M __attribute__((vector_size(16)));
};
template <>
struct VectorTypes<4> {
  typedef double V __attribute__((vector_size(32)));
  typedef uint64_t U __attribute__((vector_size(32)));
  typedef int64_t M __attribute__((vector_size(32)));
};

template <int N>
struct VectorLanes {
  static constexpr int kWidth = N;
  using V = typename VectorTypes<N>::V;
  using U = typename VectorTypes<N>::U;
  using M = typename VectorTypes<N>::M;

  static V Load(const double* p) {
    V v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
  }
  static void Store(double* p, V v) { __builtin_memcpy(p, &v, sizeof v); }
  static V Splat(double x) { return V{} + x; }
  static U SplatU(uint64_t x) { return U{} + x; }
  static U Bits(V v) { return reinterpret_cast<U>(v); }
  static V FromBits(U u) { return reinterpret_cast<V>(u); }
  static M Lt(V a, V b) { return a < b; }
  static M Le(V a, V b) { return a <= b; }
  static M Eq(V a, V b) { return a == b; }
  static M BitSet(U u, uint64_t bit) { return (u & bit) != 0; }
  static M And(M a, M b) { return a & b; }
  static M Not(M a) { return ~a; }
  // A comparison sets every bit of a lane or none, so the lanes' sign bits say it all, gathered
  // by one instruction (movmskpd) instead of a lane-by-lane extraction.
  static int SignBits(M m) {
    if constexpr (N == 2) {
      return __builtin_ia32_movmskpd(reinterpret_cast<V>(m));
    } else {
      return __builtin_ia32_movmskpd256(reinterpret_cast<V>(m));
    }
  }
  static bool Any(M m) { return SignBits(m) != 0; }
  static bool All(M m) { return SignBits(m) == (1 << N) - 1; }
  static V Select(M m, V a, V b) {
    const U mask = reinterpret_cast<U>(m);
    return FromBits((Bits(a) & mask) | (Bits(b) & ~mask));
  }
  static V Abs(V v) { return FromBits(Bits(v) & ~(uint64_t{1} << 63)); }
  static double Lane(V v, int i) { return v[i]; }
  static void SetLane(V& v, int i, double x) { v[i] = x; }
  static uint64_t LaneU(U u, int i) { return u[i]; }
  static void SetLaneU(U& u, int i, uint64_t x) { u[i] = x; }
};

}  // namespace kernel
