#include "kernel/PiReduction.h"

#include "kernel/Coefficients.h"
#include "kernel/ExactArithmetic.h"

#include <cmath>
#include <cstring>

namespace kernel {
namespace {

constexpr int kTableBits = 32 * static_cast<int>(sizeof coefficients::kTwoOverPiBits / sizeof(unsigned));

// Bit j of 2 / pi after the binary point (j = 1 is the first); 0 before it and past the table.
unsigned BitOfTwoOverPi(int j) {
  if (j < 1 || j > kTableBits) return 0;
  const int index = (j - 1) / 32;
  const int shift = 31 - (j - 1) % 32;
  return (coefficients::kTwoOverPiBits[index] >> shift) & 1u;
}

// The 32 bits j .. j + 31 of 2 / pi as an integer, most significant first.
uint32_t WordOfTwoOverPi(int j) {
  uint32_t w = 0;
  for (int b = 0; b < 32; ++b) w = (w << 1) | BitOfTwoOverPi(j + b);
  return w;
}

}  // namespace

uint64_t ReduceQuarterTurns(double x, double& high, double& low) {
  if (!std::isfinite(x)) {
    high = low = x - x;
    return 0;
  }
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  // |x| = mantissa * 2^e with a 53-bit integer mantissa.
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  int e;
  if (biased == 0) {
    e = -1074;
  } else {
    mantissa |= uint64_t{1} << 52;
    e = biased - 1075;
  }

  // |x| 2/pi = mantissa * sum_j b_j 2^(e - j). Bits with e - j >= 2 add multiples of 4 and are
  // dropped: the window of 192 bits starts at j0 = e - 1, so the product's low 192 bits hold the
  // quadrant in their top two and the fraction below. Bits past the window add less than 2^-135.
  const int j0 = e - 1;
  uint32_t window[6];  // most significant first
  for (int w = 0; w < 6; ++w) window[w] = WordOfTwoOverPi(j0 + 32 * w);

  // product = mantissa * window, low 192 bits, in 32-bit words (least significant first).
  const uint64_t m0 = mantissa & 0xFFFFFFFFu, m1 = mantissa >> 32;
  uint32_t product[6] = {0, 0, 0, 0, 0, 0};
  for (int pass = 0; pass < 2; ++pass) {
    const uint64_t m = pass == 0 ? m0 : m1;
    uint64_t carry = 0;
    for (int w = 0; w + pass < 6; ++w) {
      const uint64_t term = m * window[5 - w] + product[w + pass] + carry;
      product[w + pass] = static_cast<uint32_t>(term);
      carry = term >> 32;
    }
  }

  uint64_t quadrant = product[5] >> 30;
  // The fraction, 190 bits, as a 192-bit integer scaled by 2^-192 (the top two bits cleared).
  uint32_t fraction[6];
  for (int w = 0; w < 6; ++w) fraction[w] = product[w];
  fraction[5] &= 0x3FFFFFFFu;
  // Shift left by two so the fraction's weight is 2^-192 per unit of the whole number.
  for (int w = 5; w >= 0; --w) {
    fraction[w] = (fraction[w] << 2) | (w > 0 ? fraction[w - 1] >> 30 : 0);
  }
  // A fraction of one half or more belongs to the next quadrant, as a negative remainder.
  bool negativeRemainder = false;
  if (fraction[5] >> 31) {
    quadrant += 1;
    negativeRemainder = true;
    uint64_t borrow = 1;  // two's complement: invert and add one
    for (int w = 0; w < 6; ++w) {
      const uint64_t v = static_cast<uint64_t>(static_cast<uint32_t>(~fraction[w])) + borrow;
      fraction[w] = static_cast<uint32_t>(v);
      borrow = v >> 32;
    }
  }

  // The fraction as a double-double f = fHigh + fLow, from its leading 53 + 53 bits.
  int top = 5;
  while (top >= 0 && fraction[top] == 0) --top;
  double fHigh = 0.0, fLow = 0.0;
  if (top >= 0) {
    // Gather 128 bits starting at the leading one.
    const int lead = 31 - __builtin_clz(fraction[top]);
    const int msb = top * 32 + lead;  // bit index of the leading one, 0 = least significant
    auto bit = [&](int i) -> uint64_t { return i < 0 ? 0 : (fraction[i / 32] >> (i % 32)) & 1u; };
    uint64_t headBits = 0, tailBits = 0;
    for (int i = 0; i < 53; ++i) headBits = (headBits << 1) | bit(msb - i);
    for (int i = 53; i < 117; ++i) tailBits = (tailBits << 1) | bit(msb - i);
    // headBits has weight 2^(msb - 52 - 192), tailBits 2^(msb - 116 - 192).
    fHigh = std::ldexp(static_cast<double>(headBits), msb - 52 - 192);
    fLow = std::ldexp(static_cast<double>(tailBits), msb - 116 - 192);
  }

  // r = f pi / 2, as a double-double.
  double p, pError;
  TwoProduct(fHigh, coefficients::kPiOver2Hi, p, pError);
  const double rest = pError + (fHigh * coefficients::kPiOver2Lo + fLow * coefficients::kPiOver2Hi);
  FastTwoSum(p, rest, high, low);
  if (negativeRemainder) {
    high = -high;
    low = -low;
  }
  if (negative) {
    high = -high;
    low = -low;
    quadrant = 0u - quadrant;
  }
  return quadrant & 3u;
}

}  // namespace kernel
