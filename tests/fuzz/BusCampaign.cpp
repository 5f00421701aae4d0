// Bus changes: arrangements of every kind (legal, illegal, random speaker bits, missing arrays),
// bus activations of any index, and host buffers of any shape (fewer or more buses than the
// plug-in has, channel counts from 0 to 6) between blocks. Refused arrangements change nothing,
// the buses stay ones the plug-in can process, and whatever is written is finite.

#include "tests/fuzz/Campaigns.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace fuzz {

namespace {
SpeakerArrangement Arrangement(Rng& rng) {
  const std::vector<SpeakerArrangement> common = {SpeakerArr::kMono, SpeakerArr::kStereo, SpeakerArr::kStereo,
                                                  SpeakerArr::k51, 0x33};
  return rng.Chance(0.85) ? rng.Pick(common) : static_cast<SpeakerArrangement>(rng.Bits64());
}

std::vector<int> Shape(Rng& rng, int maxBuses, const std::vector<int>& usual) {
  if (rng.Chance(0.6)) return usual;
  std::vector<int> buses(static_cast<size_t>(rng.Int(0, maxBuses)));
  for (int& channels : buses) channels = rng.Int(0, 6);
  return buses;
}
}  // namespace

void BusChanges(Rng& rng, Verdict& verdict) {
  Rig rig = CreateRig();
  const int32 sampleSize = rng.Chance(0.5) ? kSample64 : kSample32;
  rig.instance->Prepare(sampleSize, 44100.0, 256);
  long frame = 0;
  for (int step = rng.Int(3, 16); step > 0 && !verdict.Failed(); --step) {
    switch (rng.Int(0, 2)) {
      case 0: {
        std::vector<SpeakerArrangement> ins, outs;
        for (int n = rng.Chance(0.8) ? 2 : rng.Int(0, 3); n > 0; --n) ins.push_back(Arrangement(rng));
        for (int n = rng.Chance(0.8) ? 1 : rng.Int(0, 2); n > 0; --n) outs.push_back(Arrangement(rng));
        const Fingerprint before = Take(rig.component(), rig.controller());
        const tresult result = rig.processor()->setBusArrangements(
            ins.empty() || rng.Chance(0.05) ? nullptr : ins.data(), static_cast<int32>(ins.size()),
            outs.empty() || rng.Chance(0.05) ? nullptr : outs.data(), static_cast<int32>(outs.size()));
        if (result != kResultOk)
          verdict.Check(Take(rig.component(), rig.controller()) == before, "a refused arrangement changed the buses");
        const int32 nIn = rig.component()->getBusCount(kAudio, kInput);
        for (int32 i = 0; i < nIn; ++i) {
          BusInfo info{};
          rig.component()->getBusInfo(kAudio, kInput, i, info);
          verdict.Check(i == 0 ? (info.channelCount == 2 || info.channelCount == 4)
                               : (info.channelCount == 1 || info.channelCount == 2),
                        "input bus " + std::to_string(i) + " with " + std::to_string(info.channelCount) + " channels");
        }
        break;
      }
      case 1:
        rig.component()->activateBus(rng.Chance(0.9) ? kAudio : kEvent, rng.Int(0, 1), rng.Int(-1, 2), rng.Chance(0.5));
        break;
      default: {
        const std::vector<int> ins = Shape(rng, 3, {2, 2});
        const std::vector<int> outs = Shape(rng, 2, {2});
        vst3host::ProcessBuffers buffers(sampleSize, 256, ins, outs);
        const int frames = rng.Int(0, 256);
        for (size_t b = 0; b < ins.size(); ++b)
          for (int ch = 0; ch < ins[b]; ++ch)
            for (int i = 0; i < frames; ++i) buffers.SetInput(static_cast<int>(b), ch, i, Signal(ch, frame + i));
        verdict.Check(rig.processor()->process(buffers.Data(frames)) == kResultOk, "process refused a block");
        for (size_t b = 0; b < outs.size(); ++b)
          for (int ch = 0; ch < outs[b]; ++ch)
            for (int i = 0; i < frames; ++i)
              if (!verdict.Check(std::isfinite(buffers.Output(static_cast<int>(b), ch, i)), "a non-finite output"))
                return;
        frame += frames;
      }
    }
  }
}

}  // namespace fuzz
