#pragma once
// The effect's double-precision samples as a file stores them. Fixed point is ours, not the file
// library's: each sample is scaled by 2^(bits - 1), rounded to the nearest step and clipped at full
// scale, and 16-bit output gets TPDF dither first (two uniform values of one step each, their
// difference added before rounding), which turns the rounding error into a steady noise floor
// instead of distortion that follows the signal. The dither comes from a fixed seed, consumed frame
// by frame, so the same render gives the same bytes whatever its block sizes or worker threads.
// Float output keeps the samples as they are (rounded to single precision for 32-bit float).
#include "tools/support/SampleFormat.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora_host {

class SampleQuantizer {
public:
  // `dither` applies to 16-bit PCM only; 24-bit steps are far below any analogue noise floor.
  SampleQuantizer(SampleFormat format, std::size_t channels, bool dither);

  bool FixedPoint() const { return mBits > 0; }
  bool Dithers() const { return mDither; }
  std::size_t Channels() const { return mChannels; }

  // Converts n frames of planar `in`. `written[c]` receives what the file holds, as a sample value
  // (for fixed point, a whole number of steps over 2^(bits - 1)); for fixed point, `codes` receives
  // the interleaved steps shifted to the top of an int32, as libsndfile's int functions take them.
  void Convert(const double* const* in, std::size_t n, double* const* written, std::int32_t* codes);

  // Samples of each channel that lay beyond full scale and were written at its limit.
  const std::vector<std::uint64_t>& Clipped() const { return mClipped; }

private:
  double NextDither();

  std::size_t mChannels;
  int mBits = 0;  // 16 or 24 for fixed point, 0 for float
  bool mFloat32 = false;
  bool mDither = false;
  std::uint64_t mRandom;  // the dither generator's state
  std::vector<std::uint64_t> mClipped;
};

}  // namespace velmora_host
