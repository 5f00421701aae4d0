#pragma once
// What every fuzz campaign shares: the module loaded once through its exports, seeded random
// choices, the hostile values a host may hand over, instances set up through the hosting layer,
// and the checks every case makes (finite output, a state the parameters can hold, refused calls
// that change nothing).

#include "tools/vst3host/ComponentHandler.h"
#include "tools/vst3host/HostApplication.h"
#include "tools/vst3host/Instance.h"
#include "tools/vst3host/Module.h"
#include "tools/vst3host/ParameterChanges.h"
#include "tools/vst3host/ProcessBuffers.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/smartpointer.h"

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace fuzz {

constexpr Steinberg::Vst::ParamID kPresetId = 0x70727374;  // "prst"
constexpr Steinberg::Vst::ParamID kBypassId = 0x62706173;  // "bpas"

// Seeded choices; every draw comes from here, so a case replays from its seed alone.
class Rng {
public:
  explicit Rng(uint64_t seed) : mEngine(seed) {}
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(mEngine); }
  double Real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(mEngine); }
  bool Chance(double p) { return Real(0.0, 1.0) < p; }
  uint32_t Bits32() { return static_cast<uint32_t>(mEngine()); }
  uint64_t Bits64() { return mEngine(); }
  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<size_t>(Int(0, static_cast<int>(items.size()) - 1))];
  }

private:
  std::mt19937_64 mEngine;
};

// Values a careless or hostile host sends: non-finite, out of range, huge, tiny, signed zero.
const std::vector<double>& HostileValues();
// The largest magnitude of the huge samples the hostile-sample campaign sends (1e30 unless the
// run says otherwise): envelopes lifted that far take seconds to release, so short runs keep it low.
double LoudestHostileSample();
void SetLoudestHostileSample(double peak);
// A normalised value: mostly in [0, 1], sometimes hostile.
double NormalisedValue(Rng& rng);
// A parameter id: the effect's, the binding's own, or one that names nothing.
Steinberg::Vst::ParamID ParameterId(Rng& rng);

// The first failure of a case; later checks add nothing.
class Verdict {
public:
  bool Check(bool ok, const std::string& what) {
    if (!ok && mFailure.empty()) mFailure = what;
    return ok;
  }
  bool Failed() const { return !mFailure.empty(); }
  const std::string& Failure() const { return mFailure; }

private:
  std::string mFailure;
};

// A created and initialised instance with its host context and a recording handler.
struct Rig {
  Steinberg::IPtr<vst3host::HostApplication> host;
  Steinberg::IPtr<vst3host::RecordingComponentHandler> handler;
  std::unique_ptr<vst3host::Instance> instance;
  Steinberg::Vst::IComponent* component() const { return instance->Component(); }
  Steinberg::Vst::IAudioProcessor* processor() const { return instance->Processor(); }
  Steinberg::Vst::IEditController* controller() const { return instance->Controller(); }
};

// The module under test, loaded by the program at start.
vst3host::Module& TheModule();
void LoadModule(const std::string& path);
Steinberg::TUID& TheClass();
Rig CreateRig();

// What a refused call must leave as it was: the saved state, the host's parameter values and the
// bus layout.
struct Fingerprint {
  std::vector<uint8_t> state;
  std::vector<double> normalised;
  std::vector<int> buses;
  bool operator==(const Fingerprint& o) const {
    return state == o.state && buses == o.buses && SameValues(normalised, o.normalised);
  }
  static bool SameValues(const std::vector<double>& a, const std::vector<double>& b);
};
Fingerprint Take(Steinberg::Vst::IComponent* component, Steinberg::Vst::IEditController* controller);

// The state a face hands out (empty when refused); a stream over given bytes.
std::vector<uint8_t> SaveState(Steinberg::Vst::IComponent* component);
Steinberg::IPtr<Steinberg::IBStream> StreamOf(const std::vector<uint8_t>& bytes, int maxReadPiece = 0);

// The checks every case ends with: each parameter's stored value is finite and in its range, both
// faces save the same bytes, the host reads values in [0, 1].
void CheckState(Rig& rig, Verdict& verdict, const char* after);
// Every output sample of the last block is finite.
void CheckFinite(const vst3host::ProcessBuffers& buffers, int frames, Verdict& verdict, const char* what);

// A repeatable programme: two sines with moving level per channel (four channels), 1.5 s long
// and repeated; frame may be any non-negative count.
double Signal(int channel, long frame);
// Fills the main and (if present) aux inputs for frames [start, start + n).
void FillSignal(vst3host::ProcessBuffers& buffers, long start, int n, int nInputBuses);

}  // namespace fuzz
