#pragma once
// Loudness and true peak per EBU R128 / ITU-R BS.1770, measured as audio streams past: integrated
// loudness (LUFS), loudness range (LU) and the true peak over all channels (dBTP). libebur128
// measures loudness and range, in its histogram mode, whose memory stays the same however long the
// audio runs; the true peak is our own (TruePeak.h), several times cheaper than the library's.
// Channels map as BS.1770 lays them out: left, right, centre, LFE (not counted), left and right
// surround; further channels are not counted.
#include "tools/support/TruePeak.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace velmora_host {

struct Loudness {
  double integratedLufs;  // -inf when everything was gated away (silence, or under 0.4 s)
  double rangeLu;         // 0 when there is too little to measure a range (under 3 s)
  double truePeakDbtp;    // -inf for silence
};

class LoudnessMeter {
public:
  // Whether loudness can be measured at this channel count and rate; when not, the reason is in
  // `error`.
  static bool Measurable(std::size_t channels, double sampleRate, std::string* error);
  // For what Measurable() accepts; anything else measures as silence.
  LoudnessMeter(std::size_t channels, double sampleRate);
  ~LoudnessMeter();
  LoudnessMeter(const LoudnessMeter&) = delete;
  LoudnessMeter& operator=(const LoudnessMeter&) = delete;

  void Add(const double* const* frames, std::size_t n);
  Loudness Result() const;

private:
  struct State;  // the library's measuring state
  std::unique_ptr<State> mState;
  std::size_t mChannels;
  std::vector<double> mInterleaved;
  TruePeakMeter mTruePeak;
};

}  // namespace velmora_host
