// State streams: a valid state mutated (bits, bytes, hostile doubles, a changed bypass word,
// truncation, extra bytes) or plain random bytes, offered to each face that restores state, read
// back in pieces of any size. A refused stream changes nothing; an accepted one leaves a state the
// parameters can hold; saving into a stream that takes only part of the bytes is refused.

#include "tests/fuzz/Campaigns.h"

#include "plugin/VelmoraSteps.h"
#include "tests/support/LimitedStream.h"

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace fuzz {

namespace {
constexpr int kStateBytes = 8 * kNumParams + 4;

std::vector<uint8_t> MutatedState(Rng& rng, std::vector<uint8_t> bytes) {
  for (int m = rng.Int(1, 6); m > 0; --m) {
    switch (rng.Int(0, 5)) {
      case 0:
        bytes[static_cast<size_t>(rng.Int(0, kStateBytes - 1))] ^= static_cast<uint8_t>(1u << rng.Int(0, 7));
        break;
      case 1: bytes[static_cast<size_t>(rng.Int(0, kStateBytes - 1))] = static_cast<uint8_t>(rng.Bits32()); break;
      case 2: {
        const double v = rng.Pick(HostileValues());
        std::memcpy(bytes.data() + 8 * rng.Int(0, kNumParams - 1), &v, sizeof(v));
        break;
      }
      case 3: {
        const uint32_t word = rng.Chance(0.5) ? rng.Bits32() : static_cast<uint32_t>(rng.Int(0, 2));
        std::memcpy(bytes.data() + 8 * kNumParams, &word, sizeof(word));
        break;
      }
      case 4: bytes.resize(static_cast<size_t>(rng.Int(0, kStateBytes))); return bytes;
      default:
        for (int n = rng.Int(1, 40); n > 0; --n) bytes.push_back(static_cast<uint8_t>(rng.Bits32()));
    }
  }
  return bytes;
}

tresult Restore(Rig& rig, int face, const std::vector<uint8_t>& bytes, int piece) {
  IPtr<IBStream> stream = StreamOf(bytes, piece);
  switch (face) {
    case 0: return rig.component()->setState(stream);
    case 1: return rig.controller()->setState(stream);
    default: return rig.controller()->setComponentState(stream);
  }
}

}  // namespace

void StateStreams(Rng& rng, Verdict& verdict) {
  Rig source = CreateRig();
  for (ParamID id = 0; id < static_cast<ParamID>(kNumParams); ++id)
    source.controller()->setParamNormalized(id, rng.Real(0.0, 1.0));
  source.controller()->setParamNormalized(kBypassId, rng.Int(0, 1));
  const std::vector<uint8_t> valid = SaveState(source.component());
  if (!verdict.Check(valid.size() == kStateBytes, "a valid state of " + std::to_string(valid.size()) + " bytes"))
    return;

  Rig rig = CreateRig();
  const bool prepared = rng.Chance(0.5);
  const int32 sampleSize = rng.Chance(0.5) ? kSample64 : kSample32;
  if (prepared) rig.instance->Prepare(sampleSize, 44100.0, 256);
  for (int round = rng.Int(1, 4); round > 0 && !verdict.Failed(); --round) {
    std::vector<uint8_t> bytes;
    const int kind = rng.Int(0, 9);
    if (kind < 6) {
      bytes = MutatedState(rng, valid);
    } else if (kind < 8) {
      bytes.resize(static_cast<size_t>(rng.Chance(0.5) ? kStateBytes : rng.Int(0, 300)));
      for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng.Bits32());
    } else {
      bytes = valid;
    }
    const int face = rng.Int(0, 2);
    const Fingerprint before = Take(rig.component(), rig.controller());
    const tresult result = Restore(rig, face, bytes, rng.Chance(0.3) ? rng.Int(1, 9) : 0);
    const std::string what = "face " + std::to_string(face) + ", " + std::to_string(bytes.size()) + " bytes";
    if (result != kResultOk) {
      verdict.Check(Take(rig.component(), rig.controller()) == before, "a refused state changed the plug-in: " + what);
    } else {
      verdict.Check(bytes.size() >= kStateBytes || (bytes.empty() && face != 1), "a short state accepted: " + what);
      CheckState(rig, verdict, "an accepted state");
    }
  }

  // Saving into a stream that takes only part of the bytes answers false.
  const int32 budget = rng.Int(0, kStateBytes);
  IPtr<vst3host::LimitedStream> shortStream = owned(new vst3host::LimitedStream(budget, budget));
  const tresult saved =
      rng.Chance(0.5) ? rig.component()->getState(shortStream) : rig.controller()->getState(shortStream);
  verdict.Check(
      (saved == kResultOk) == (budget == kStateBytes),
      "saving into a stream that takes " + std::to_string(budget) + " bytes answered " + std::to_string(saved));

  if (prepared && !verdict.Failed()) {
    vst3host::ProcessBuffers buffers(sampleSize, 256, {2, 2}, {2});
    for (int b = 0; b < 4; ++b) {
      FillSignal(buffers, 256L * b, 256, 2);
      verdict.Check(rig.processor()->process(buffers.Data(256)) == kResultOk, "process after a restore");
      CheckFinite(buffers, 256, verdict, "after a restore");
    }
  }
}

}  // namespace fuzz
