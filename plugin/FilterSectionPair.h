#pragma once
// Two filter sections that filter different signals, run side by side in the two lanes of an SSE2
// register (the left and right channel's sections of the main path). Each lane goes through
// exactly FilterSection::ProcessSample's operations, in its order, on its own section's
// coefficients and state, so each channel gets the bits it would get alone.
//
// The pair works on copies: Store() writes the state back into the two sections.

#include "kernel/Lanes.h"
#include "plugin/FilterSection.h"

class FilterSectionPair {
public:
  using Lanes = kernel::VectorLanes<2>;
  using V = Lanes::V;

  FilterSectionPair(FilterSection& left, FilterSection& right)
      : mLeft(left),
        mRight(right),
        a0{left.a0, right.a0},
        a1{left.a1, right.a1},
        a2{left.a2, right.a2},
        b1{left.b1, right.b1},
        b2{left.b2, right.b2},
        z1{left.z1, right.z1},
        z2{left.z2, right.z2} {}

  // x: two single-precision samples, widened; answers the two outputs rounded to single
  // precision and widened again.
  V Process(V x) {
    const V out = x * a0 + z1;
    z1 = x * a1 + z2 - b1 * out;
    z2 = x * a2 - b2 * out;
    return RoundedToFloat(out);
  }

  void Store() const {
    mLeft.z1 = z1[0];
    mLeft.z2 = z2[0];
    mRight.z1 = z1[1];
    mRight.z2 = z2[1];
  }

  // Each lane rounded to single precision (as static_cast<float>) and widened back.
  static V RoundedToFloat(V x) {
    typedef float Floats __attribute__((vector_size(8)));
    return __builtin_convertvector(__builtin_convertvector(x, Floats), V);
  }

private:
  FilterSection& mLeft;
  FilterSection& mRight;
  V a0, a1, a2, b1, b2;
  V z1, z2;
};
