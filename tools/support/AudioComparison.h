#pragma once
// A null test of two audio streams, sample by sample and block by block (so files of any length
// compare in a few blocks of memory): the largest difference and where it is, the RMS of the
// difference over every sample, and the first sample whose difference exceeds a tolerance. A
// stream that ends early counts as silence from there on.
#include "tools/support/AudioStream.h"

#include <cstddef>
#include <optional>
#include <string>

namespace velmora_host {

struct AudioDifference {
  std::size_t framesA = 0, framesB = 0;
  double largest = 0.0;  // linear
  std::size_t largestFrame = 0;
  int largestChannel = 0;
  double rms = 0.0;            // linear, over max(framesA, framesB) frames of every channel
  bool differs = false;        // some difference exceeds the tolerance, or the lengths differ
  bool hasFirst = false;       // whether some sample exceeds the tolerance ...
  std::size_t firstFrame = 0;  // ... the first one
  int firstChannel = 0;
  double firstA = 0.0, firstB = 0.0;
};

// Both sources must have the same channel count (the caller checks). Empty when either cannot be
// read to its end, with the reason in `error`.
std::optional<AudioDifference> CompareAudio(AudioSource& a, AudioSource& b, double tolerance, std::string* error);

}  // namespace velmora_host
