// Parameter queues in process (any ids, any number of points, offsets inside and outside the
// block, hostile values) mixed with the controller's calls a host makes for automation and
// display: set and get a normalised value, the conversions, texts both ways. Output stays finite,
// every stored value stays in its range, and every normalised value a host reads is in [0, 1].

#include "tests/fuzz/Campaigns.h"

#include "plugin/VelmoraSteps.h"

#include <cmath>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace fuzz {

namespace {
const std::vector<std::string> kTexts = {"0",  "1",   "0.5", "11", "-3", "99",  "1e300", "nan",  "inf",   "-inf",
                                         "on", "off", "On",  "-",  "",   "abc", " 2 ",   "0x10", "1e-310"};

void ControllerCalls(Rng& rng, Rig& rig, Verdict& verdict) {
  IEditController* c = rig.controller();
  for (int calls = rng.Int(0, 6); calls > 0 && !verdict.Failed(); --calls) {
    const ParamID id = ParameterId(rng);
    const double v = NormalisedValue(rng);
    const std::string what = "parameter " + std::to_string(id) + " at " + std::to_string(v);
    switch (rng.Int(0, 4)) {
      case 0: {
        const Fingerprint before = Take(rig.component(), c);
        if (c->setParamNormalized(id, v) != kResultOk)
          verdict.Check(Take(rig.component(), c) == before, "a refused setParamNormalized changed something: " + what);
        break;
      }
      case 1: {
        const double n = c->plainParamToNormalized(id, rng.Chance(0.5) ? v : rng.Real(-30.0, 30.0));
        verdict.Check(n >= 0.0 && n <= 1.0, "plainParamToNormalized gave " + std::to_string(n) + ": " + what);
        break;
      }
      case 2: {
        String128 text = {};
        c->getParamStringByValue(id, v, text);
        c->normalizedParamToPlain(id, v);
        break;
      }
      default: {
        String128 wide = {};
        const std::string& text = rng.Pick(kTexts);
        for (size_t i = 0; i < text.size(); ++i) wide[i] = static_cast<TChar>(text[i]);
        double out = -5.0;
        if (c->getParamValueByString(id, wide, out) == kResultOk)
          verdict.Check(out >= 0.0 && out <= 1.0, "text '" + text + "' read as " + std::to_string(out) + ": " + what);
      }
    }
  }
}
}  // namespace

void ParameterQueues(Rng& rng, Verdict& verdict) {
  Rig rig = CreateRig();
  const int32 sampleSize = rng.Chance(0.5) ? kSample64 : kSample32;
  const int maxBlock = rng.Pick(std::vector<int>{32, 128, 512});
  rig.component()->activateBus(kAudio, kInput, 1, rng.Chance(0.5));
  rig.instance->Prepare(sampleSize, rng.Pick(std::vector<double>{44100.0, 48000.0, 96000.0}), maxBlock);
  vst3host::ProcessBuffers buffers(sampleSize, maxBlock, {2, 2}, {2});
  IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges(24, 12));
  long frame = 0;
  for (int block = rng.Int(4, 24); block > 0 && !verdict.Failed(); --block) {
    changes->Clear();
    for (int q = rng.Int(0, 20); q > 0; --q) {
      const ParamID id = ParameterId(rng);
      for (int p = rng.Int(1, 6); p > 0; --p) {
        const int32 offset = rng.Chance(0.9) ? rng.Int(0, maxBlock - 1) : static_cast<int32>(rng.Bits32());
        changes->Add(id, offset, NormalisedValue(rng));
      }
    }
    const int frames = rng.Int(0, maxBlock);
    FillSignal(buffers, frame, frames, 2);
    verdict.Check(rig.processor()->process(buffers.Data(frames, changes)) == kResultOk, "process with changes");
    CheckFinite(buffers, frames, verdict, "with parameter changes");
    frame += frames;
    ControllerCalls(rng, rig, verdict);
  }
  CheckState(rig, verdict, "parameter changes");
}

}  // namespace fuzz
