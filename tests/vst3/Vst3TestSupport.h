#pragma once
// What every VST3 integration test needs: the built modules loaded through their exported entry
// points (once per test program), instances created and initialised as a host does it, and small
// helpers to run process calls and read parameters. No plug-in class is linked.

#include "framework/vst3/HostBreach.h"
#include "plugin/VelmoraSteps.h"
#include "tools/vst3host/ComponentHandler.h"
#include "tools/vst3host/HostApplication.h"
#include "tools/vst3host/Instance.h"
#include "tools/vst3host/Module.h"
#include "tools/vst3host/ParameterChanges.h"
#include "tools/vst3host/ProcessBuffers.h"

#include "pluginterfaces/base/smartpointer.h"
#include "public.sdk/source/common/memorystream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vst3test {

constexpr Steinberg::Vst::ParamID kPresetId = 0x70727374;  // "prst"
constexpr Steinberg::Vst::ParamID kBypassId = 0x62706173;  // "bpas"

vst3host::Module& VelmoraModule();
vst3host::Module& ProbeModule();

// A created and initialised instance with its host context (which offers the trace sink and keeps
// what the plug-in reports) and recording handler.
struct Plugin {
  std::shared_ptr<std::vector<std::string>> traces = std::make_shared<std::vector<std::string>>();
  Steinberg::IPtr<vst3host::HostApplication> host;
  Steinberg::IPtr<vst3host::RecordingComponentHandler> handler;
  std::unique_ptr<vst3host::Instance> instance;

  // The host breaches the plug-in reported, in report order (each report names one breach).
  std::vector<HostBreach> ReportedBreaches() const;

  Steinberg::Vst::IComponent* component() const { return instance->Component(); }
  Steinberg::Vst::IAudioProcessor* processor() const { return instance->Processor(); }
  Steinberg::Vst::IEditController* controller() const { return instance->Controller(); }
};

// The host's trace sink keeps every report in Plugin::traces, unless `traces` takes them instead.
// The handler answers the interfaces of `offeredByHandler` too (e.g. a run loop), when given.
Plugin CreatePlugin(vst3host::Module& module, vst3host::HostApplication::TraceReceiver traces = nullptr,
                    Steinberg::FUnknown* offeredByHandler = nullptr);
inline Plugin CreateVelmora(vst3host::HostApplication::TraceReceiver traces = nullptr) {
  return CreatePlugin(VelmoraModule(), std::move(traces));
}

// Runs one block; changes may be null.
Steinberg::tresult Process(const Plugin& plugin, vst3host::ProcessBuffers& buffers, int frames,
                           vst3host::ParameterChanges* changes = nullptr);
// Runs one block that only carries a single parameter value.
Steinberg::tresult SendParam(const Plugin& plugin, vst3host::ProcessBuffers& buffers, Steinberg::Vst::ParamID id,
                             double value);

// The state either face hands out (IComponent and IEditController declare the same getState and
// setState), a stream reading given bytes, and the state restored from bytes through a face.
template <class Face>
std::vector<uint8_t> SaveState(Face* face) {
  Steinberg::IPtr<Steinberg::MemoryStream> stream = Steinberg::owned(new Steinberg::MemoryStream());
  if (face->getState(stream) != Steinberg::kResultOk) return {};
  const auto* bytes = reinterpret_cast<const uint8_t*>(stream->getData());
  return std::vector<uint8_t>(bytes, bytes + stream->getSize());
}
Steinberg::IPtr<Steinberg::MemoryStream> StreamOf(const std::vector<uint8_t>& bytes);
template <class Face>
Steinberg::tresult LoadState(Face* face, const std::vector<uint8_t>& bytes) {
  return face->setState(StreamOf(bytes));
}
// The plain value of parameter index in a saved state (little-endian doubles in index order).
double StoredValue(const std::vector<uint8_t>& state, int index);

// A repeatable test signal: a sum of two sines with some level movement, in [-0.9, 0.9].
double TestSignal(int channel, long frame);

std::string Narrow(const Steinberg::Vst::TChar* text);

}  // namespace vst3test
