// Cost of the whole processing chain per block at 44.1 kHz stereo, compressor and limiter both
// working on a loud signal.
#include "plugin/ProcessingChain.h"
#include "tests/plugin/ChainTestSupport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

void BM_ChainBlock(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  ProcessingChain chain;
  DerivedValues values;
  ApplyParamStep(values, kParamCompressorThreshold, 5);
  DefaultSteps steps;
  LastMeter meter;
  std::vector<double> in[4], out[2];
  for (auto& v : in) v.resize(frames);
  for (auto& v : out) v.resize(frames);
  for (int i = 0; i < frames; ++i) {
    in[0][i] = 0.8 * std::sin(2 * 3.141592653589793 * 220.0 * i / 44100.0);
    in[1][i] = 0.7 * std::sin(2 * 3.141592653589793 * 330.0 * i / 44100.0);
  }
  const double* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  double* outs[2] = {out[0].data(), out[1].data()};
  for (auto _ : state) {
    chain.Process(ins, outs, frames, 44100.0, values, steps, &meter);
    benchmark::DoNotOptimize(out[0].data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(BM_ChainBlock)->Arg(64)->Arg(512);

}  // namespace

BENCHMARK_MAIN();
