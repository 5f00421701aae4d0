#pragma once
// Error-free transformations in plain IEEE double arithmetic (no fused multiply-add): a sum or a
// product as the rounded result plus the exact rounding error, for the few steps of the kernel
// that need more than double precision.

namespace kernel {

// a + b = sum + error exactly, whatever the magnitudes.
template <class V>
inline void TwoSum(V a, V b, V& sum, V& error) {
  sum = a + b;
  const V bVirtual = sum - a;
  const V aVirtual = sum - bVirtual;
  error = (a - aVirtual) + (b - bVirtual);
}

// a + b = sum + error exactly, provided |a| >= |b| (or a is zero).
template <class V>
inline void FastTwoSum(V a, V b, V& sum, V& error) {
  sum = a + b;
  error = (a - sum) + b;
}

// a = high + low with high holding the leading 26 bits, so products of halves are exact.
template <class V>
inline void Split(V a, V& high, V& low) {
  const V c = a * 134217729.0;  // 2^27 + 1
  high = c - (c - a);
  low = a - high;
}

// a * b = product + error exactly, barring overflow of the split (|a|, |b| < 2^996).
template <class V>
inline void TwoProduct(V a, V b, V& product, V& error) {
  V ah, al, bh, bl;
  Split(a, ah, al);
  Split(b, bh, bl);
  product = a * b;
  error = ((ah * bh - product) + ah * bl + al * bh) + al * bl;
}

}  // namespace kernel
