#include "tests/vst3/Vst3TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3test {

namespace {
vst3host::Module& LoadOnce(const char* bundle) {
  std::string error;
  static std::unique_ptr<vst3host::Module> modules[2];
  std::unique_ptr<vst3host::Module>& slot = modules[std::string(bundle) == VELMORA_BUNDLE_DIR ? 0 : 1];
  if (!slot) {
    slot = vst3host::Module::Load(bundle, &error);
    if (!slot) {
      ADD_FAILURE() << error;
      std::abort();
    }
  }
  return *slot;
}
}  // namespace

vst3host::Module& VelmoraModule() { return LoadOnce(VELMORA_BUNDLE_DIR); }
vst3host::Module& ProbeModule() { return LoadOnce(PROBE_BUNDLE_DIR); }

Plugin CreatePlugin(vst3host::Module& module, vst3host::HostApplication::TraceReceiver traces,
                    FUnknown* offeredByHandler) {
  Plugin p;
  if (!traces) {
    std::shared_ptr<std::vector<std::string>> kept = p.traces;
    traces = [kept](const char*, int, const char* message) { kept->push_back(message); };
  }
  p.host = owned(new vst3host::HostApplication("Velmora Test Host", std::move(traces)));
  p.handler = owned(new vst3host::RecordingComponentHandler(offeredByHandler));
  TUID cid;
  if (!module.FindClass("Audio Module Class", cid)) {
    ADD_FAILURE() << "no audio module class";
    std::abort();
  }
  std::string error;
  p.instance = vst3host::Instance::Create(module, cid, p.host->Context(), p.handler, &error);
  if (!p.instance) {
    ADD_FAILURE() << error;
    std::abort();
  }
  return p;
}

std::vector<HostBreach> Plugin::ReportedBreaches() const {
  std::vector<HostBreach> breaches;
  for (const std::string& message : *traces) {
    int found = -1;
    for (size_t b = 0; b < kHostBreachCount; ++b) {
      if (message.find(kHostBreachTexts[b].what) == std::string::npos) continue;
      EXPECT_EQ(found, -1) << message;
      found = static_cast<int>(b);
    }
    EXPECT_NE(found, -1) << "a report that names no breach: " << message;
    if (found >= 0) breaches.push_back(static_cast<HostBreach>(found));
  }
  return breaches;
}

tresult Process(const Plugin& plugin, vst3host::ProcessBuffers& buffers, int frames,
                vst3host::ParameterChanges* changes) {
  return plugin.processor()->process(buffers.Data(frames, changes));
}

tresult SendParam(const Plugin& plugin, vst3host::ProcessBuffers& buffers, ParamID id, double value) {
  IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
  changes->Add(id, 0, value);
  return Process(plugin, buffers, 0, changes);
}

IPtr<MemoryStream> StreamOf(const std::vector<uint8_t>& bytes) {
  IPtr<MemoryStream> stream = owned(new MemoryStream());
  int32 written = 0;
  if (!bytes.empty()) stream->write(const_cast<uint8_t*>(bytes.data()), static_cast<int32>(bytes.size()), &written);
  stream->seek(0, IBStream::kIBSeekSet, nullptr);
  return stream;
}

double StoredValue(const std::vector<uint8_t>& state, int index) {
  const size_t offset = 8 * static_cast<size_t>(index);
  if (index < 0 || state.size() < offset + 8) {
    ADD_FAILURE() << "no value " << index << " in a state of " << state.size() << " bytes";
    return 0.0;
  }
  uint64_t bits = 0;
  for (int b = 7; b >= 0; --b) bits = (bits << 8) | state[offset + static_cast<size_t>(b)];
  double v;
  std::memcpy(&v, &bits, sizeof(v));
  return v;
}

double TestSignal(int channel, long frame) {
  const double t = static_cast<double>(frame) / 44100.0;
  const double envelope = 0.5 + 0.4 * std::sin(2.0 * M_PI * 1.5 * t);
  return envelope * (0.6 * std::sin(2.0 * M_PI * (220.0 + 110.0 * channel) * t) +
                     0.4 * std::sin(2.0 * M_PI * 3100.0 * t + channel));
}

std::string Narrow(const TChar* text) {
  std::string s;
  for (; text && *text; ++text) s.push_back(static_cast<char>(*text & 0xFF));
  return s;
}

}  // namespace vst3test
