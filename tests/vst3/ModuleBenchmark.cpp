// The module as a host sees it, through the exported entry points:
//
// - BM_ModuleProcess: the process call, stereo blocks at 44.1 kHz in 32- or 64-bit samples, with
//   the host's (empty) parameter-change list. Beside it, interleaved on the same block, the
//   processing chain alone (linked in, not through the module) at the plug-in's default settings;
//   `ratio_to_chain` is the median over groups of blocks of process time / chain time, so it
//   states what the binding adds: the copies into and out of the scratch buffers, the parameter
//   queues, the channel wiring.
// - BM_FirstInstance: create-to-active of the first instance of a freshly loaded module (create,
//   initialise, set up processing, activate), which a host pays for every module it loads or
//   scans. The module is loaded before and unloaded after each measurement, outside the clock.

#include "plugin/ProcessingChain.h"
#include "tests/plugin/ChainTestSupport.h"
#include "tests/plugin/PairedTimer.h"
#include "tools/vst3host/HostApplication.h"
#include "tools/vst3host/Instance.h"
#include "tools/vst3host/Module.h"
#include "tools/vst3host/ParameterChanges.h"
#include "tools/vst3host/ProcessBuffers.h"

#include "pluginterfaces/base/smartpointer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
constexpr double kSampleRate = 44100.0;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::unique_ptr<vst3host::Module> LoadModule() {
  std::string error;
  auto m = vst3host::Module::Load(VELMORA_BUNDLE_DIR, &error);
  if (!m) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::abort();
  }
  return m;
}

double Material(int channel, int frame) {
  const double t = static_cast<double>(frame) / kSampleRate;
  return 0.7 * std::sin(2.0 * M_PI * (channel ? 330.0 : 220.0) * t);
}

void BM_ModuleProcess(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  const int32 sampleSize = state.range(1) == 64 ? kSample64 : kSample32;
  // Loaded for this benchmark only, so BM_FirstInstance still finds the module unloaded.
  const std::unique_ptr<vst3host::Module> module = LoadModule();
  TUID cid;
  module->FindClass("Audio Module Class", cid);
  IPtr<vst3host::HostApplication> host = owned(new vst3host::HostApplication("Velmora Benchmark"));
  auto instance = vst3host::Instance::Create(*module, cid, host->Context(), nullptr);
  if (!instance || instance->Prepare(sampleSize, kSampleRate, frames) != kResultOk) {
    state.SkipWithError("cannot set up the instance");
    return;
  }
  // The same block of music-like material every time: the effect's state still moves on, and
  // the measurement stays free of signal generation.
  vst3host::ProcessBuffers buffers(sampleSize, frames, {2, 2}, {2});
  std::vector<double> in[4], out[2];
  for (auto& v : in) v.assign(static_cast<size_t>(frames), 0.0);
  for (auto& v : out) v.assign(static_cast<size_t>(frames), 0.0);
  for (int i = 0; i < frames; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      buffers.SetInput(0, ch, i, Material(ch, i));
      in[ch][static_cast<size_t>(i)] = buffers.Input(0, ch, i);
    }
  }
  IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
  ProcessData& data = buffers.Data(frames, changes);

  // The chain alone, as the plug-in runs it at its defaults.
  ProcessingChain chain;
  DerivedValues values;
  DefaultSteps steps;
  LastMeter meter;
  const double* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  double* outs[2] = {out[0].data(), out[1].data()};

  PairedTimer timer;
  for (auto _ : state) {
    state.SetIterationTime(timer.Time(
        [&] {
          instance->Processor()->process(data);
          benchmark::ClobberMemory();
        },
        [&] {
          chain.Process(ins, outs, frames, kSampleRate, values, steps, &meter);
          benchmark::ClobberMemory();
        }));
  }

  const double processed = static_cast<double>(state.iterations()) * frames;
  state.SetItemsProcessed(static_cast<int64_t>(processed));
  state.counters["ratio_to_chain"] = timer.Ratio();
  state.counters["module_ns_per_frame"] = timer.FirstSeconds() / processed * 1e9;
  state.counters["chain_ns_per_frame"] = timer.SecondSeconds() / processed * 1e9;
  state.counters["realtime_factor"] = processed / kSampleRate / timer.FirstSeconds();
}
BENCHMARK(BM_ModuleProcess)
    ->ArgNames({"block", "bits"})
    ->ArgsProduct({{32, 512}, {32, 64}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_FirstInstance(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<vst3host::Module> module = LoadModule();
    TUID cid;
    module->FindClass("Audio Module Class", cid);
    IPtr<vst3host::HostApplication> host = owned(new vst3host::HostApplication("Velmora Benchmark"));

    const Clock::time_point t0 = Clock::now();
    auto instance = vst3host::Instance::Create(*module, cid, host->Context(), nullptr);
    const bool active = instance && instance->Prepare(kSample32, kSampleRate, 512) == kResultOk;
    const Clock::time_point t1 = Clock::now();
    if (!active) {
      state.SkipWithError("cannot set up the instance");
      return;
    }
    state.SetIterationTime(Seconds(t1 - t0));
    instance.reset();
    module.reset();
  }
}
BENCHMARK(BM_FirstInstance)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
