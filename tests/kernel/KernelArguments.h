#pragma once
// Arguments for the kernel's tests: the edges every function must get right, and repeatable
// pseudo-random arguments spread over a range, the same on every platform.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace kerneltest {

inline uint64_t Bits(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

inline double FromBits(uint64_t b) {
  double x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

// 64-bit linear congruential generator: repeatable everywhere, plenty for spreading arguments.
struct Random {
  uint64_t state;
  explicit Random(uint64_t seed) : state(seed) {}
  uint64_t Next() {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return state;
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1p-53; }  // [0, 1)
};

// count arguments uniform in [lo, hi].
inline std::vector<double> Uniform(double lo, double hi, int count, uint64_t seed) {
  Random r(seed);
  std::vector<double> x(static_cast<size_t>(count));
  for (double& v : x) v = lo + (hi - lo) * r.Uniform();
  return x;
}

// count arguments whose magnitudes are spread evenly over the binades from 2^loExp to 2^hiExp
// (every bit pattern equally likely within a binade), each negated when `bothSigns`.
inline std::vector<double> Binades(int loExp, int hiExp, int count, uint64_t seed, bool bothSigns) {
  Random r(seed);
  std::vector<double> x(static_cast<size_t>(count));
  for (double& v : x) {
    const int e = loExp + static_cast<int>(r.Next() % static_cast<uint64_t>(hiExp - loExp + 1));
    v = std::ldexp(1.0 + r.Uniform(), e);
    if (bothSigns && (r.Next() >> 63)) v = -v;
  }
  return x;
}

// The edges: zeros, the smallest and largest subnormals and normals, one, infinities, NaN.
inline std::vector<double> Edges() {
  const double inf = std::numeric_limits<double>::infinity();
  const double values[] = {0.0,
                           4.9406564584124654e-324,
                           2.2250738585072009e-308,
                           2.2250738585072014e-308,
                           1e-300,
                           0x1p-60,
                           0x1p-27,
                           1.0,
                           std::numeric_limits<double>::max(),
                           inf,
                           std::numeric_limits<double>::quiet_NaN()};
  std::vector<double> x;
  for (double v : values) {
    x.push_back(v);
    x.push_back(-v);
  }
  return x;
}

// The doubles closest to k pi / 2 for k = 1 .. count, and their neighbours: where the reduction
// of trigonometric arguments loses the most bits.
inline std::vector<double> NearQuarterTurns(int count) {
  std::vector<double> x;
  const long double quarter = 1.5707963267948966192313216916397514L;
  for (int k = 1; k <= count; ++k) {
    const double c = static_cast<double>(quarter * k);
    x.push_back(std::nextafter(c, 0.0));
    x.push_back(c);
    x.push_back(std::nextafter(c, 1e300));
  }
  return x;
}

inline void Append(std::vector<double>& to, const std::vector<double>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

}  // namespace kerneltest
