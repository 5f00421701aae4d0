// The module's audio as a host receives it, against the plain reference transcription of the
// effect's arithmetic (tests/plugin/ReferenceChain.h): 32- and 64-bit samples, the aux bus active
// or not with the external sidechain on or off, several block sizes, automation through the
// parameter queues and the host's own bypass on the way. Every output sample must agree to the
// last bit (in single precision for 32-bit hosts).

#include "tests/plugin/ReferenceChain.h"
#include "tests/vst3/Vst3TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {

struct Case {
  int32 sampleSize;
  bool auxActive;
  int externalSidechain;
  std::vector<int> blocks;  // frames per process call, used in turn
  int maxBlock;
  double rate;
};

std::string Describe(const Case& c) {
  return std::string(c.sampleSize == kSample64 ? "64-bit" : "32-bit") + (c.auxActive ? ", aux active" : ", aux off") +
         ", external sidechain " + std::to_string(c.externalSidechain) + ", first block " +
         std::to_string(c.blocks.front()) + ", rate " + std::to_string(static_cast<int>(c.rate));
}

template <class T>
uint64_t Bits(T x) {
  uint64_t b = 0;
  std::memcpy(&b, &x, sizeof x);
  return b;
}

// Answers "" when the module and the reference agreed on every sample, else the first difference.
std::string RunCase(const Case& c) {
  Plugin plugin = CreateVelmora();
  if (plugin.instance->Prepare(c.sampleSize, c.rate, c.maxBlock) != kResultOk) return "prepare failed";
  if (c.auxActive) plugin.component()->activateBus(kAudio, kInput, 1, true);
  vst3host::ProcessBuffers buffers(c.sampleSize, c.maxBlock, {2, 2}, {2});
  const bool is64 = c.sampleSize == kSample64;

  reference::Chain ref;
  DerivedValues values;
  int steps[kNumParams];
  for (int p = 0; p < kNumParams; ++p) steps[p] = kParamDefinitions[p].defaultStep;

  // Repeatable parameter moves: (block, parameter, step).
  uint32_t lcg = 4242u;
  auto next = [&lcg](int n) {
    lcg = lcg * 1664525u + 1013904223u;
    return static_cast<int>((lcg >> 8) % static_cast<uint32_t>(n));
  };

  std::vector<double> in[4];
  std::vector<double> refOut[2];
  const long total = 30000;
  long pos = 0;
  bool hostBypass = false;
  for (int block = 0; pos < total; ++block) {
    IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
    auto setStep = [&](int p, int step) {
      steps[p] = step;
      ApplyParamStep(values, p, step);
      changes->Add(static_cast<ParamID>(p), 0, static_cast<double>(step) / kParamDefinitions[p].maxStep);
    };
    if (block == 0) {
      setStep(kParamExternalSidechain, c.externalSidechain);
      setStep(kParamCompressorThreshold, 4);
      setStep(kParamGain, 3);
    } else if (block % 4 == 0) {
      const int p = next(kNumParams);
      setStep(p, next(kParamDefinitions[p].maxStep + 1));
    }
    if (block % 23 == 11) {
      hostBypass = !hostBypass;
      changes->Add(kBypassId, 0, hostBypass ? 1.0 : 0.0);
    }

    const int n = static_cast<int>(std::min<long>(c.blocks[static_cast<size_t>(block) % c.blocks.size()], total - pos));
    for (int ch = 0; ch < 4; ++ch) in[ch].assign(static_cast<size_t>(n), 0.0);
    for (int i = 0; i < n; ++i) {
      for (int ch = 0; ch < 4; ++ch) {
        double v = (ch < 2 ? 1.0 : 1.6) * TestSignal(ch, pos + i);
        if (!is64) v = static_cast<float>(v);  // what a 32-bit host can hand over
        buffers.SetInput(ch / 2, ch % 2, i, v);
        if (ch < 2 || c.auxActive) in[ch][static_cast<size_t>(i)] = v;
      }
    }
    if (Process(plugin, buffers, n, changes) != kResultOk) return "process failed in block " + std::to_string(block);

    for (auto& o : refOut) o.assign(static_cast<size_t>(n), 0.0);
    if (hostBypass) {
      for (int ch = 0; ch < 2; ++ch) refOut[ch] = in[ch];
    } else {
      const double* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
      double* outs[2] = {refOut[0].data(), refOut[1].data()};
      ref.Process(ins, outs, n, c.rate, values, steps, true);
    }
    for (int i = 0; i < n; ++i) {
      for (int ch = 0; ch < 2; ++ch) {
        const double expected = refOut[ch][static_cast<size_t>(i)];
        const double got = buffers.Output(0, ch, i);
        const bool same =
            is64 ? Bits(got) == Bits(expected) : Bits(static_cast<float>(got)) == Bits(static_cast<float>(expected));
        if (!same) {
          return "channel " + std::to_string(ch) + " differs at frame " + std::to_string(pos + i) + " (block " +
                 std::to_string(block) + "): " + std::to_string(got) + " vs " + std::to_string(expected);
        }
      }
    }
    pos += n;
  }
  return "";
}

TEST(ProcessEquivalence, HostAudioMatchesTheReferenceBitForBit) {
  const std::vector<std::vector<int>> blocks = {{32}, {512}, {4096}, {1, 100, 0, 333, 64}};
  const struct {
    bool auxActive;
    int external;
  } routes[] = {{false, 0}, {true, 1}, {true, 0}, {false, 1}};
  int k = 0;
  for (int32 size : {kSample32, kSample64}) {
    for (const auto& r : routes) {
      for (const auto& b : blocks) {
        Case c{size, r.auxActive, r.external, b, *std::max_element(b.begin(), b.end()), k % 3 ? 44100.0 : 96000.0};
        ++k;
        EXPECT_EQ(RunCase(c), "") << Describe(c);
      }
    }
  }
}

}  // namespace
