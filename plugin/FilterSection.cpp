#include "FilterSection.h"

#include "kernel/Maths.h"

#include <cmath>

void FilterSection::SetCoefficients() {
  const double K = kernel::Tan(3.141592653589793 * fc);
  const double V = kernel::PowTen(std::fabs(gainDb) / 20.0);
  const double KK = K * K;
  const bool boost = gainDb >= 0.0;
  double n = 0.0;

  switch (kind) {
    case kHighPass:
      n = 1.0 / (1.0 + K / q + KK);
      a0 = n;
      a1 = -2.0 * n;
      a2 = n;
      b1 = 2.0 * (KK - 1.0) * n;
      b2 = (1.0 - K / q + KK) * n;
      break;

    case kPeak:
      if (boost) {
        n = 1.0 / (1.0 + K / q + KK);
        a0 = (1.0 + V * K / q + KK) * n;
        a1 = 2.0 * (KK - 1.0) * n;
        a2 = (1.0 - V * K / q + KK) * n;
        b1 = a1;
        b2 = (1.0 - K / q + KK) * n;
      } else {
        n = 1.0 / (1.0 + V * K / q + KK);
        a0 = (1.0 + K / q + KK) * n;
        a1 = 2.0 * (KK - 1.0) * n;
        a2 = (1.0 - K / q + KK) * n;
        b1 = a1;
        b2 = (1.0 - V * K / q + KK) * n;
      }
      break;

    case kHighShelf:
      // V K / q where a textbook shelf has sqrt(2V) K: with a small q the shelf is broad and
      // overshoots its set gain by about 0.15 dB, which is the intended sound.
      if (boost) {
        n = 1.0 / (1.0 + K / q + KK);
        a0 = (V + V * K / q + KK) * n;
        a1 = 2.0 * (KK - V) * n;
        a2 = (V - V * K / q + KK) * n;
        b1 = 2.0 * (KK - 1.0) * n;
        b2 = (1.0 - K / q + KK) * n;
      } else {
        n = 1.0 / (V + V * K / q + KK);
        a0 = (1.0 + K / q + KK) * n;
        a1 = 2.0 * (KK - 1.0) * n;
        a2 = (1.0 - K / q + KK) * n;
        b1 = 2.0 * (KK - V) * n;
        b2 = (V - V * K / q + KK) * n;
      }
      break;

    default: break;
  }
}
