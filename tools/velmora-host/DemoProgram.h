#pragma once
// The demo's test programme: eight seconds (four bars at 120 BPM) of a small band, synthesised
// from a fixed seed so every run yields the same samples. The stems are kept apart because the
// ducking scenario feeds the drums into the sidechain while the pad and bass are processed.
#include "tools/support/AudioData.h"

#include <cstdint>

namespace velmora_host {

struct DemoProgram {
  AudioData drums;  // kick, snare, closed and open hats
  AudioData bass;   // eighth-note bass line on the chord roots
  AudioData pad;    // sustained four-chord pad, spread across the stereo field
  AudioData mix;    // drums + bass + pad
};

constexpr std::uint32_t kDemoSeed = 0x56454C4Du;

// Stereo at `sampleRate`; the mix peaks at -3 dBFS and the stems keep the same scale.
DemoProgram SynthesiseDemoProgram(double sampleRate, std::uint32_t seed = kDemoSeed);

}  // namespace velmora_host
