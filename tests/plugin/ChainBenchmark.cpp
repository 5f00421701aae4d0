// Cost of the processing chain against its floor: the transcendental work its sound mandates.
//
// Per stereo frame the design cannot do without four colour curves (a sine and two hyperbolic
// tangents each), the two gain computers' logarithms and the two exponentials that turn their
// decibels into gains. The floor loop performs exactly that work on the chain's own arguments
// (the same material, the envelopes and gains the chain produced for it) with the maths kernel's
// span functions, the fastest form the kernel has, and nothing else. The
// chain and the floor run alternately on the same block, so a busy machine slows both alike;
// `ratio_to_floor` is the median over groups of blocks of chain time / floor time.
//
// Arguments: block size, sample rate, external sidechain (0 detects the main input, 1 the
// sidechain pair). Counters: time per stereo frame of the chain and of the floor, the ratio, and
// the real-time factor of the chain on one core (seconds of audio per second of processing).
#include "plugin/ColourCurve.h"
#include "plugin/Decibels.h"
#include "plugin/ProcessingChain.h"
#include "tests/plugin/ChainTestSupport.h"
#include "tests/plugin/PairedTimer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;

// Music-like material that keeps both cells and the colour curve busy: a drum-like burst every
// quarter second over a bass line and a pad; the sidechain pair is a louder, busier drum part.
double Material(long i, int ch, double rate) {
  const double t = static_cast<double>(i) / rate;
  const double beat = std::fmod(t, ch >= 2 ? 0.125 : 0.25);
  const double kick = std::exp(-beat * 30.0) * std::sin(2 * kPi * (55.0 + 90.0 * std::exp(-beat * 40.0)) * beat);
  const double pad =
      0.35 * std::sin(2 * kPi * ((ch & 1) ? 329.6 : 220.0) * t) * (0.6 + 0.4 * std::sin(2 * kPi * 0.7 * t));
  const double bass = 0.3 * std::sin(2 * kPi * 82.4 * t + ch);
  return (ch >= 2 ? 1.2 : 0.8) * (kick + pad + bass);
}

// One second and a half of input, and what the floor needs for it.
struct Material4 {
  long frames;
  std::vector<double> in[4];
  // The chain's own arguments to its logarithms and exponentials, frame by frame.
  std::vector<double> compEnvelope, limitEnvelope, compGainDb, limitGainDb;
};

Material4 MakeMaterial(double rate, const DerivedValues& values, const DefaultSteps& steps) {
  Material4 m;
  m.frames = static_cast<long>(1.5 * rate);
  for (int ch = 0; ch < 4; ++ch) {
    m.in[ch].resize(static_cast<size_t>(m.frames));
    for (long i = 0; i < m.frames; ++i) m.in[ch][static_cast<size_t>(i)] = Material(i, ch, rate);
  }
  ProcessingChain chain;
  for (auto* v : {&m.compEnvelope, &m.limitEnvelope, &m.compGainDb, &m.limitGainDb})
    v->resize(static_cast<size_t>(m.frames));
  double out[2];
  double* outs[2] = {&out[0], &out[1]};
  for (long i = 0; i < m.frames; ++i) {
    const size_t k = static_cast<size_t>(i);
    const double* ins[4] = {&m.in[0][k], &m.in[1][k], &m.in[2][k], &m.in[3][k]};
    chain.Process(ins, outs, 1, rate, values, steps, nullptr);
    m.compEnvelope[k] = chain.CompCell().envelope;
    m.limitEnvelope[k] = chain.LimitCell().envelope;
    m.compGainDb[k] = chain.CompCell().gainDb;
    m.limitGainDb[k] = chain.LimitCell().gainDb;
  }
  return m;
}

// The mandated transcendental work for frames [start, start + n), on the chain's arguments, a
// span of the kernel's at a time.
void Floor(const Material4& m, long start, int n, bool externalSidechain, double* outL, double* outR) {
  constexpr int kChunk = kColourSpanMax;
  double mainL[kChunk], mainR[kChunk], scL[kChunk], scR[kChunk], compDb[kChunk], limitDb[kChunk];
  double compGain[kChunk], limitGain[kChunk];
  for (int at = 0; at < n; at += kChunk) {
    const int c = std::min(kChunk, n - at);
    const size_t k = static_cast<size_t>(start + at);
    for (int i = 0; i < c; ++i) {
      mainL[i] = static_cast<float>(m.in[0][k + static_cast<size_t>(i)]);
      mainR[i] = static_cast<float>(m.in[1][k + static_cast<size_t>(i)]);
    }
    ColourCurveSpan(mainL, mainL, c);
    ColourCurveSpan(mainR, mainR, c);
    ColourCurveSpan(externalSidechain ? &m.in[2][k] : mainL, scL, c);
    ColourCurveSpan(externalSidechain ? &m.in[3][k] : mainR, scR, c);
    kernel::LogSpan(&m.compEnvelope[k], compDb, c);
    kernel::LogSpan(&m.limitEnvelope[k], limitDb, c);
    for (int i = 0; i < c; ++i) {
      compGain[i] = m.compGainDb[k + static_cast<size_t>(i)] * kNeperPerDb;
      limitGain[i] = m.limitGainDb[k + static_cast<size_t>(i)] * kNeperPerDb;
    }
    kernel::ExpSpan(compGain, compGain, c);
    kernel::ExpSpan(limitGain, limitGain, c);
    for (int i = 0; i < c; ++i) {
      const double g = compGain[i] * limitGain[i];
      outL[at + i] = g * mainL[i];
      outR[at + i] = g * mainR[i];
    }
    benchmark::DoNotOptimize(scL);
    benchmark::DoNotOptimize(scR);
    benchmark::DoNotOptimize(compDb);
    benchmark::DoNotOptimize(limitDb);
  }
}

void BM_ChainVsFloor(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  const double rate = static_cast<double>(state.range(1));
  const bool externalSidechain = state.range(2) != 0;

  DerivedValues values;
  ApplyParamStep(values, kParamCompressorThreshold, 5);  // -20 dB: the compressor works throughout
  DefaultSteps steps;
  steps.step[kParamExternalSidechain] = externalSidechain ? 1 : 0;
  const Material4 m = MakeMaterial(rate, values, steps);

  ProcessingChain chain;
  LastMeter meter;
  std::vector<double> out[2];
  for (auto& o : out) o.resize(static_cast<size_t>(frames));
  double* outs[2] = {out[0].data(), out[1].data()};

  PairedTimer timer;
  long start = 0;
  for (auto _ : state) {
    if (start + frames > m.frames) start = 0;
    const size_t k = static_cast<size_t>(start);
    const double* ins[4] = {&m.in[0][k], &m.in[1][k], &m.in[2][k], &m.in[3][k]};
    state.SetIterationTime(timer.Time(
        [&] {
          chain.Process(ins, outs, frames, rate, values, steps, &meter);
          benchmark::ClobberMemory();
        },
        [&] {
          Floor(m, start, frames, externalSidechain, outs[0], outs[1]);
          benchmark::ClobberMemory();
        }));
    start += frames;
  }

  const double processed = static_cast<double>(state.iterations()) * frames;
  state.SetItemsProcessed(static_cast<int64_t>(processed));
  state.counters["ratio_to_floor"] = timer.Ratio();
  state.counters["chain_ns_per_frame"] = timer.FirstSeconds() / processed * 1e9;
  state.counters["floor_ns_per_frame"] = timer.SecondSeconds() / processed * 1e9;
  state.counters["realtime_factor"] = processed / rate / timer.FirstSeconds();
}

void Arguments(benchmark::internal::Benchmark* b) {
  b->ArgNames({"block", "rate", "sidechain"});
  for (int sidechain : {0, 1}) {
    for (int rate : {44100, 96000}) {
      for (int block : {32, 64, 512, 4096}) b->Args({block, rate, sidechain});
    }
  }
}
BENCHMARK(BM_ChainVsFloor)->Apply(Arguments)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
