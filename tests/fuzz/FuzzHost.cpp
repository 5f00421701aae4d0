#include "tests/fuzz/FuzzHost.h"

#include "plugin/VelmoraSteps.h"

#include "public.sdk/source/common/memorystream.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace fuzz {

namespace {
std::unique_ptr<vst3host::Module> gModule;
TUID gClass;
double gLoudest = 1e30;

// A stream over bytes that hands them out at most `piece` bytes per read, as some hosts' file
// streams do.
class PieceStream : public MemoryStream {
public:
  explicit PieceStream(int32 piece) : mPiece(piece) {}
  tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) SMTG_OVERRIDE {
    return MemoryStream::read(buffer, mPiece > 0 && numBytes > mPiece ? mPiece : numBytes, numBytesRead);
  }

private:
  int32 mPiece;
};

const ParamID kHostIds[] = {kPresetId, kBypassId};
}  // namespace

const std::vector<double>& HostileValues() {
  static const std::vector<double> values = {
      std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::max(),
      -std::numeric_limits<double>::max(),
      1e300,
      -1e300,
      2147483648.0,
      -2147483649.0,
      1e-310,  // subnormal
      std::numeric_limits<double>::denorm_min(),
      -0.0,
      -1e-12,
      1.0 + 1e-12,
      -1.0,
      2.0,
      99.0,
  };
  return values;
}

double LoudestHostileSample() { return gLoudest; }
void SetLoudestHostileSample(double peak) { gLoudest = peak; }

double NormalisedValue(Rng& rng) {
  if (rng.Chance(0.3)) return rng.Pick(HostileValues());
  if (rng.Chance(0.2)) return rng.Int(0, 4) / 4.0;
  return rng.Real(0.0, 1.0);
}

ParamID ParameterId(Rng& rng) {
  const int kind = rng.Int(0, 9);
  if (kind < 6) return static_cast<ParamID>(rng.Int(0, kNumParams - 1));
  if (kind < 8) return kHostIds[rng.Int(0, 1)];
  if (kind == 8) return static_cast<ParamID>(rng.Int(kNumParams, kNumParams + 20));
  return rng.Bits32();
}

vst3host::Module& TheModule() { return *gModule; }
TUID& TheClass() { return gClass; }

void LoadModule(const std::string& path) {
  std::string error;
  gModule = vst3host::Module::Load(path, &error);
  if (!gModule || !gModule->FindClass("Audio Module Class", gClass)) {
    std::fprintf(stderr, "velmora_fuzz: cannot load %s: %s\n", path.c_str(), error.c_str());
    std::exit(2);
  }
}

Rig CreateRig() {
  Rig rig;
  rig.host = owned(new vst3host::HostApplication("Velmora Fuzz Host"));
  rig.handler = owned(new vst3host::RecordingComponentHandler());
  std::string error;
  rig.instance = vst3host::Instance::Create(*gModule, gClass, rig.host->Context(), rig.handler, &error);
  if (!rig.instance) {
    std::fprintf(stderr, "velmora_fuzz: cannot create an instance: %s\n", error.c_str());
    std::exit(2);
  }
  return rig;
}

bool Fingerprint::SameValues(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) return false;
  return true;
}

Fingerprint Take(IComponent* component, IEditController* controller) {
  Fingerprint f;
  f.state = SaveState(component);
  for (ParamID id = 0; id < static_cast<ParamID>(kNumParams); ++id)
    f.normalised.push_back(controller->getParamNormalized(id));
  for (ParamID id : kHostIds) f.normalised.push_back(controller->getParamNormalized(id));
  for (BusDirection dir : {kInput, kOutput}) {
    const int32 n = component->getBusCount(kAudio, dir);
    f.buses.push_back(n);
    for (int32 i = 0; i < n; ++i) {
      BusInfo info{};
      component->getBusInfo(kAudio, dir, i, info);
      f.buses.push_back(info.channelCount);
      f.buses.push_back(info.busType);
      f.buses.push_back(info.flags);
    }
  }
  return f;
}

std::vector<uint8_t> SaveState(IComponent* component) {
  IPtr<MemoryStream> stream = owned(new MemoryStream());
  if (component->getState(stream) != kResultOk) return {};
  const auto* bytes = reinterpret_cast<const uint8_t*>(stream->getData());
  return std::vector<uint8_t>(bytes, bytes + stream->getSize());
}

IPtr<IBStream> StreamOf(const std::vector<uint8_t>& bytes, int maxReadPiece) {
  IPtr<PieceStream> stream = owned(new PieceStream(maxReadPiece));
  int32 written = 0;
  if (!bytes.empty()) stream->write(const_cast<uint8_t*>(bytes.data()), static_cast<int32>(bytes.size()), &written);
  stream->seek(0, IBStream::kIBSeekSet, nullptr);
  return stream;
}

void CheckState(Rig& rig, Verdict& verdict, const char* after) {
  const std::string where = std::string(" after ") + after;
  const std::vector<uint8_t> state = SaveState(rig.component());
  if (!verdict.Check(state.size() == 8 * kNumParams + 4, "state of " + std::to_string(state.size()) + " bytes" + where))
    return;
  IPtr<MemoryStream> controllerState = owned(new MemoryStream());
  verdict.Check(rig.controller()->getState(controllerState) == kResultOk &&
                    controllerState->getSize() == static_cast<TSize>(state.size()) &&
                    std::memcmp(controllerState->getData(), state.data(), state.size()) == 0,
                "the controller saves other bytes than the component" + where);
  for (int i = 0; i < kNumParams; ++i) {
    double v;
    std::memcpy(&v, state.data() + 8 * i, sizeof(v));  // little-endian machines only, as the module
    const double max = kParamDefinitions[i].maxStep;
    verdict.Check(std::isfinite(v) && v >= 0.0 && v <= max,
                  "parameter " + std::to_string(i) + " stored as " + std::to_string(v) + where);
  }
  verdict.Check(state[8 * kNumParams] <= 1 && state[8 * kNumParams + 1] == 0 && state[8 * kNumParams + 2] == 0 &&
                    state[8 * kNumParams + 3] == 0,
                "a bypass word other than 0 or 1" + where);
  std::vector<ParamID> ids;
  for (ParamID id = 0; id < static_cast<ParamID>(kNumParams); ++id) ids.push_back(id);
  ids.insert(ids.end(), std::begin(kHostIds), std::end(kHostIds));
  for (ParamID id : ids) {
    const double n = rig.controller()->getParamNormalized(id);
    verdict.Check(n >= 0.0 && n <= 1.0, "parameter " + std::to_string(id) + " reads " + std::to_string(n) + where);
  }
}

void CheckFinite(const vst3host::ProcessBuffers& buffers, int frames, Verdict& verdict, const char* what) {
  const int n = std::max(0, std::min(frames, buffers.MaxFrames()));
  std::vector<double> out(static_cast<size_t>(n));
  for (int ch = 0; ch < buffers.OutputChannels(0); ++ch) {
    buffers.ReadOutputBlock(0, ch, out.data(), n);
    for (int i = 0; i < n; ++i) {
      if (!verdict.Check(std::isfinite(out[static_cast<size_t>(i)]),
                         "output " + std::to_string(out[static_cast<size_t>(i)]) + " at frame " + std::to_string(i) +
                             " of channel " + std::to_string(ch) + " " + what))
        return;
    }
  }
}

namespace {
// 1.5 s of each of four channels, computed once and repeated: the campaigns need a programme with
// movement, not one that never repeats, and the sines would cost more than the effect. Each
// channel's table runs on past its period by kTail frames, so any run of up to kTail frames
// starting anywhere in a period is contiguous.
constexpr long kPeriod = 65536;
constexpr long kTail = 16384;

const double* Programme(int channel) {
  static const std::vector<double> table = [] {
    std::vector<double> t(static_cast<size_t>(4 * (kPeriod + kTail)));
    for (int ch = 0; ch < 4; ++ch) {
      for (long f = 0; f < kPeriod + kTail; ++f) {
        const double s = static_cast<double>(f % kPeriod) / 44100.0;
        const double level = 0.5 + 0.45 * std::sin(2.0 * M_PI * 0.7 * s + ch);
        t[static_cast<size_t>(ch * (kPeriod + kTail) + f)] =
            level * (0.6 * std::sin(2.0 * M_PI * (110.0 + 70.0 * ch) * s) +
                     0.35 * std::sin(2.0 * M_PI * (2300.0 + 400.0 * ch) * s));
      }
    }
    return t;
  }();
  return table.data() + (channel & 3) * (kPeriod + kTail);
}
}  // namespace

double Signal(int channel, long frame) { return Programme(channel)[frame & (kPeriod - 1)]; }

void FillSignal(vst3host::ProcessBuffers& buffers, long start, int n, int nInputBuses) {
  n = std::min(n, buffers.MaxFrames());
  for (int b = 0; b < nInputBuses; ++b) {
    for (int ch = 0; ch < buffers.InputChannels(b); ++ch) {
      const double* programme = Programme(ch + 2 * b) + (start & (kPeriod - 1));
      const double gain = b == 0 ? 0.7 : 1.0;
      if (n <= kTail && gain == 1.0) {
        buffers.SetInputBlock(b, ch, programme, n);
      } else {
        for (int i = 0; i < n; ++i) buffers.SetInput(b, ch, i, gain * Signal(ch + 2 * b, start + i));
      }
    }
  }
}

}  // namespace fuzz
