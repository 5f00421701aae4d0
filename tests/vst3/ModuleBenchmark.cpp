// The cost of the module's process call as a host sees it: stereo 32-bit blocks at 44.1 kHz,
// through the exported entry points. Reports the time per stereo frame and how many times faster
// than real time one instance runs.

#include "tools/vst3host/ComponentHandler.h"
#include "tools/vst3host/HostApplication.h"
#include "tools/vst3host/Instance.h"
#include "tools/vst3host/Module.h"
#include "tools/vst3host/ProcessBuffers.h"

#include "pluginterfaces/base/smartpointer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
constexpr double kSampleRate = 44100.0;

vst3host::Module& LoadedModule() {
  static std::unique_ptr<vst3host::Module> module = [] {
    std::string error;
    auto m = vst3host::Module::Load(VELMORA_BUNDLE_DIR, &error);
    if (!m) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::abort();
    }
    return m;
  }();
  return *module;
}

void BM_ModuleProcess(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  vst3host::Module& module = LoadedModule();
  TUID cid;
  module.FindClass("Audio Module Class", cid);
  IPtr<vst3host::HostApplication> host = owned(new vst3host::HostApplication("Velmora Benchmark"));
  auto instance = vst3host::Instance::Create(module, cid, host, nullptr);
  if (!instance || instance->Prepare(kSample32, kSampleRate, frames) != kResultOk) {
    state.SkipWithError("cannot set up the instance");
    return;
  }
  // The same block of music-like material every time: the effect's state still moves on, and
  // the measurement stays free of signal generation.
  vst3host::ProcessBuffers buffers(kSample32, frames, {2, 2}, {2});
  for (int i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    buffers.SetInput(0, 0, i, 0.7 * std::sin(2.0 * M_PI * 220.0 * t));
    buffers.SetInput(0, 1, i, 0.7 * std::sin(2.0 * M_PI * 330.0 * t));
  }
  ProcessData& data = buffers.Data(frames);
  for (auto _ : state) {
    instance->Processor()->process(data);
    benchmark::DoNotOptimize(buffers.Output(0, 0, frames - 1));
  }
  const double processed = static_cast<double>(state.iterations()) * frames;
  state.SetItemsProcessed(static_cast<int64_t>(processed));
  // Seconds per stereo frame (shown with an SI prefix, e.g. "25n") and seconds of audio per second.
  state.counters["time_per_frame"] = benchmark::Counter(processed, benchmark::Counter::kIsRate |
                                                                       benchmark::Counter::kInvert);
  state.counters["realtime_factor"] = benchmark::Counter(processed / kSampleRate, benchmark::Counter::kIsRate);
}
}  // namespace

BENCHMARK(BM_ModuleProcess)->Arg(64)->Arg(512)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
