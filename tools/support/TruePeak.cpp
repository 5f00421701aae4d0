#include "tools/support/TruePeak.h"

#include <cmath>

namespace velmora_host {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kKaiserBeta = 5.0;

// Zeroth-order modified Bessel function of the first kind, by its power series.
double BesselI0(double x) {
  double sum = 1.0, term = 1.0;
  for (int k = 1; k < 40; ++k) {
    term *= (x / (2.0 * k)) * (x / (2.0 * k));
    sum += term;
  }
  return sum;
}

}  // namespace

TruePeakMeter::TruePeakMeter(std::size_t channels, double sampleRate)
    : mPhases(sampleRate < 96000.0    ? 4
              : sampleRate < 192000.0 ? 2
                                      : 1),
      mCoefficients(kTapsPerPhase * kMaxPhases, 0.0),
      mHistory(channels, std::vector<double>(2 * kTapsPerPhase, 0.0)) {
  // Phase p of input tap k sits at time (k - centre) - p / phases from the output point; phase 0
  // lands on the samples themselves, where the sinc is one at the centre and zero elsewhere.
  constexpr std::size_t kHalfTaps = kTapsPerPhase / 2;  // whole: the tap count is even
  static_assert(kTapsPerPhase % 2 == 0, "the filter is centred between two taps");
  const double centre = static_cast<double>(kHalfTaps - 1);
  const double halfSpan = static_cast<double>(kHalfTaps);
  for (std::size_t p = 0; p < mPhases; ++p) {
    for (std::size_t k = 0; k < kTapsPerPhase; ++k) {
      const double t = static_cast<double>(k) - centre - static_cast<double>(p) / static_cast<double>(mPhases);
      const double sinc = t == 0.0 ? 1.0 : std::sin(kPi * t) / (kPi * t);
      const double r = t / halfSpan;
      const double window =
          std::fabs(r) >= 1.0 ? 0.0 : BesselI0(kKaiserBeta * std::sqrt(1.0 - r * r)) / BesselI0(kKaiserBeta);
      mCoefficients[k * kMaxPhases + p] = p == 0 ? (t == 0.0 ? 1.0 : 0.0) : sinc * window;
    }
  }
}

void TruePeakMeter::Add(const double* const* frames, std::size_t n) {
  double peak = mPeak;
  const double* coefficients = mCoefficients.data();
  for (std::size_t c = 0; c < mHistory.size(); ++c) {
    double* history = mHistory[c].data();
    std::size_t write = mWrite;
    for (std::size_t f = 0; f < n; ++f) {
      // Newest first: history[write .. write + taps) holds x[n], x[n-1], ...
      write = write == 0 ? kTapsPerPhase - 1 : write - 1;
      history[write] = history[write + kTapsPerPhase] = frames[c][f];
      const double* taps = history + write;
      double lanes[kMaxPhases] = {0.0, 0.0, 0.0, 0.0};
      for (std::size_t k = 0; k < kTapsPerPhase; ++k)
        for (std::size_t p = 0; p < kMaxPhases; ++p) lanes[p] += coefficients[k * kMaxPhases + p] * taps[k];
      for (double lane : lanes) peak = std::fabs(lane) > peak ? std::fabs(lane) : peak;
    }
    if (c + 1 == mHistory.size()) mWrite = write;
  }
  mPeak = peak;
}

}  // namespace velmora_host
