#pragma once
// True peak per ITU-R BS.1770: the largest magnitude the waveform reaches between its samples,
// found by oversampling each channel (4x under 96 kHz, 2x under 192 kHz, as the recommendation
// asks) through a Kaiser-windowed sinc of 16 taps per phase, true within 0.04 dB up to 0.4 of the
// rate. Our own for speed: libebur128's true-peak mode costs several times its loudness
// measurement, and a render measures both its input and its output. The phases of one input
// sample are summed side by side (each in its own fixed order), independent sums the processor
// overlaps.
#include <cstddef>
#include <vector>

namespace velmora_host {

class TruePeakMeter {
public:
  TruePeakMeter(std::size_t channels, double sampleRate);

  void Add(const double* const* frames, std::size_t n);
  // The largest magnitude seen so far on any channel, linear (0 for silence).
  double Peak() const { return mPeak; }

  static constexpr std::size_t kTapsPerPhase = 16;
  static constexpr std::size_t kMaxPhases = 4;

private:
  std::size_t mPhases;  // oversampling factor
  // Coefficient of input tap k (0 = newest) for output phase p, at [k * kMaxPhases + p]; phases past
  // mPhases are zero so every sample computes kMaxPhases lanes.
  std::vector<double> mCoefficients;
  // Per channel, the last kTapsPerPhase inputs twice over, so the taps are always one contiguous run.
  std::vector<std::vector<double>> mHistory;
  std::size_t mWrite = 0;
  double mPeak = 0.0;
};

}  // namespace velmora_host
