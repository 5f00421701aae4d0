// Hostile samples: two instances with the same settings hear the same programme, except that one
// gets a burst of hostile samples (not-a-number, infinities, huge or subnormal values) on some of
// its main and sidechain channels. Its output stays finite throughout, and once the burst is over
// it returns to its twin's output within a bound that depends on what the burst held (see
// RecoveryBound).

#include "tests/fuzz/Campaigns.h"

#include "plugin/VelmoraSteps.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace fuzz {

namespace {
constexpr double kAgreement = 1e-4;    // largest sample difference counted as back with the twin
constexpr long kAgreementSpan = 1024;  // frames the twins must agree for in a row

enum BurstKind { kNonFinite, kHuge, kTiny };
const char* const kBurstNames[] = {"non-finite", "huge", "tiny"};

// Frames after the burst within which the outputs must agree again. A non-finite sample resets
// only the state it reaches; near-silence is a short dropout. A huge sample lifts the envelopes
// by its level, and they release by a factor of 100 per release time: at most 6 s (the slowest
// release that follows the signal) per two decades of peak, and some settling after that.
long RecoveryBound(BurstKind kind, double peak) {
  constexpr long kRate = 44100;  // the gain cells' time constants are counted at this rate
  switch (kind) {
    case kNonFinite: return 10 * kRate;
    case kTiny: return 2 * kRate;
    default: return static_cast<long>(kRate * 6.0 * (std::log10(peak) / 2.0 + 1.5));
  }
}

double HostileSample(Rng& rng, BurstKind kind, double peak, bool is64) {
  switch (kind) {
    case kNonFinite: {
      const double values[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity()};
      return values[rng.Int(0, 2)];
    }
    case kHuge: return rng.Chance(0.5) ? peak : -peak;
    default: {
      const double tiny = is64 ? 1e-310 : 1e-40;  // subnormal in the host's sample size
      return rng.Chance(0.3) ? -0.0 : rng.Chance(0.5) ? tiny : -tiny;
    }
  }
}
}  // namespace

void HostileSamples(Rng& rng, Verdict& verdict) {
  const int32 sampleSize = rng.Chance(0.5) ? kSample64 : kSample32;
  const bool is64 = sampleSize == kSample64;
  const int block = rng.Pick(std::vector<int>{64, 256, 512, 1024});
  const bool sidechain = rng.Chance(0.5);
  const bool auxActive = rng.Chance(0.7);
  Rig hostile = CreateRig();
  Rig twin = CreateRig();
  std::vector<double> settings;
  for (int i = 0; i < kNumParams; ++i)
    settings.push_back(rng.Int(0, kParamDefinitions[i].maxStep) / static_cast<double>(kParamDefinitions[i].maxStep));
  settings[kParamExternalSidechain] = sidechain ? 1.0 : 0.0;
  settings[kParamBypass] = rng.Chance(0.9) ? 1.0 : 0.0;
  for (Rig* rig : {&hostile, &twin}) {
    rig->component()->activateBus(kAudio, kInput, 1, auxActive);
    rig->instance->Prepare(sampleSize, 44100.0, block);
  }
  vst3host::ProcessBuffers a(sampleSize, block, {2, 2}, {2});
  vst3host::ProcessBuffers b(sampleSize, block, {2, 2}, {2});
  // The settings arrive with the first block, as automation does. (The host bypass stays off: a
  // bypassed effect hands its input through untouched, hostile samples included.)
  IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
  for (ParamID id = 0; id < static_cast<ParamID>(kNumParams); ++id) changes->Add(id, 0, settings[id]);

  const auto kind = static_cast<BurstKind>(rng.Int(0, 2));
  // Huge peaks from +20 dBFS up to the loudest this run allows, evenly spread in level.
  const double peak = std::pow(10.0, rng.Real(1.0, std::log10(std::max(LoudestHostileSample(), 10.0))));
  const long burstStart = rng.Int(block, 8192);
  const long burstEnd = burstStart + rng.Int(1, 2048);
  const int channels = rng.Int(1, 15);  // bits: main left, main right, aux left, aux right
  const double density = rng.Chance(0.5) ? 1.0 : rng.Real(0.001, 0.5);
  const std::string what = std::string(kBurstNames[kind]) + (kind == kHuge ? " (" + std::to_string(peak) + ")" : "") +
                           " burst of " + std::to_string(burstEnd - burstStart) + " frames on channels " +
                           std::to_string(channels) + (is64 ? ", 64-bit" : ", 32-bit");

  long agreeingSince = -1;
  for (long frame = 0; !verdict.Failed(); frame += block) {
    FillSignal(a, frame, block, 2);
    FillSignal(b, frame, block, 2);
    for (int i = 0; i < block; ++i) {
      const long f = frame + i;
      if (f < burstStart || f >= burstEnd) continue;
      for (int ch = 0; ch < 4; ++ch)
        if ((channels >> ch & 1) && rng.Chance(density))
          a.SetInput(ch / 2, ch % 2, i, HostileSample(rng, kind, peak, is64));
    }
    verdict.Check(hostile.processor()->process(a.Data(block, frame == 0 ? changes.get() : nullptr)) == kResultOk &&
                      twin.processor()->process(b.Data(block, frame == 0 ? changes.get() : nullptr)) == kResultOk,
                  "process refused: " + what);
    CheckFinite(a, block, verdict, ("during and after a " + what).c_str());
    if (frame + block <= burstEnd) continue;

    double difference = 0.0;
    for (int ch = 0; ch < 2; ++ch)
      for (int i = 0; i < block; ++i)
        difference = std::max(difference, std::fabs(a.Output(0, ch, i) - b.Output(0, ch, i)));
    if (difference > kAgreement) {
      agreeingSince = -1;
    } else if (agreeingSince < 0) {
      agreeingSince = frame;
    }
    if (agreeingSince >= 0 && frame + block - agreeingSince >= kAgreementSpan) return;
    const long after = frame + block - burstEnd;
    verdict.Check(after <= RecoveryBound(kind, peak), "still " + std::to_string(difference) + " from the twin " +
                                                          std::to_string(after) + " frames after a " + what);
  }
}

}  // namespace fuzz
