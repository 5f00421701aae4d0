// The processing chain against the plain reference transcription of its arithmetic
// (ReferenceChain.h): signals x settings x block sizes x sample rates, sidechain on and off, the
// meter with and without an editor, automation between blocks and rate changes on the way. Every
// output sample, the meter value handed over and the state that outlives a block must agree to
// the last bit.
#include "plugin/ProcessingChain.h"
#include "tests/plugin/ChainTestSupport.h"
#include "tests/plugin/ReferenceChain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

uint64_t Bits(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

// Repeatable pseudo-random numbers, the same on every platform.
struct Lcg {
  uint32_t state;
  explicit Lcg(uint32_t seed) : state(seed) {}
  uint32_t Next() { return state = state * 1664525u + 1013904223u; }
  double Uniform() { return (Next() >> 8) / double(1u << 24); }  // [0, 1)
  int Below(int n) { return static_cast<int>((Next() >> 8) % static_cast<uint32_t>(n)); }
};

// Input signals: a value for each absolute frame and channel (0, 1 main; 2, 3 sidechain).
enum class Signal { kMusic, kNoise, kSilence, kSteps, kSweep, kHostile };

const char* Name(Signal s) {
  switch (s) {
    case Signal::kMusic: return "music";
    case Signal::kNoise: return "noise";
    case Signal::kSilence: return "silence";
    case Signal::kSteps: return "steps";
    case Signal::kSweep: return "sweep";
    case Signal::kHostile: return "hostile";
  }
  return "?";
}

double Music(long i, int ch, double rate) {
  const double t = i / rate;
  const double beat = std::fmod(t, 0.25);
  const double kick = std::exp(-beat * 30.0) * std::sin(2 * kPi * (55.0 + 90.0 * std::exp(-beat * 40.0)) * beat);
  const double pad = 0.35 * std::sin(2 * kPi * (ch ? 329.6 : 220.0) * t) * (0.6 + 0.4 * std::sin(2 * kPi * 0.7 * t));
  const double bass = 0.3 * std::sin(2 * kPi * 82.4 * t + ch);
  return (ch >= 2 ? 1.3 : 0.8) * (kick + pad + bass);
}

std::vector<double> MakeSignal(Signal s, int ch, long frames, double rate) {
  std::vector<double> x(static_cast<size_t>(frames));
  Lcg lcg(977u + 31u * static_cast<uint32_t>(ch));
  for (long i = 0; i < frames; ++i) {
    double v = 0.0;
    switch (s) {
      case Signal::kMusic: v = Music(i, ch, rate); break;
      case Signal::kNoise: {
        // White noise under a slow swell from nothing to well over full scale and back.
        const double swell = 1.6 * std::sin(kPi * static_cast<double>(i) / static_cast<double>(frames));
        v = swell * (2.0 * lcg.Uniform() - 1.0);
        break;
      }
      case Signal::kSilence: break;
      case Signal::kSteps: {
        static const double levels[] = {0.0, 0.5, -1.0, 2.0, 1e-300, 4.9e-324, -0.25, 1.0, 0.0, -3.0};
        v = levels[(i / 1500 + ch) % 10];
        if (i % 700 == 3) v += ch % 2 ? -0.9 : 0.9;  // impulses
        break;
      }
      case Signal::kSweep: {
        const double t = i / rate;
        const double f0 = 20.0, f1 = 20000.0, T = frames / rate;
        v = 0.95 * std::sin(2 * kPi * f0 * T / std::log(f1 / f0) * (std::pow(f1 / f0, t / T) - 1.0) + 0.3 * ch);
        break;
      }
      case Signal::kHostile: {
        // Music with rare values that no host should send: not-a-number, infinities, samples
        // beyond single precision and, on the sidechain (which is not rounded), beyond what the
        // colour curve can raise to the fourth power.
        v = Music(i, ch, rate);
        static const double bad[] = {kNaN, kInf, -kInf, 1e39, -3.5e38, 1e200};
        if (i % 2749 == 1000 + 97 * ch) v = bad[(i / 2749 + ch) % 6];
        break;
      }
    }
    x[static_cast<size_t>(i)] = v;
  }
  return x;
}

// What a case sets: the steps of all thirteen parameters.
struct Settings {
  const char* name;
  int steps[kNumParams];
};

const Settings kSettings[] = {
    //                      thr lim gain mix rat high mid hpf crec lrec byp ext gr
    {"defaults", {15, 22, 0, 22, 2, 2, 2, 0, 1, 1, 1, 0, 0}},
    {"heavy compression", {3, 22, 3, 22, 4, 2, 2, 0, 0, 1, 1, 0, 0}},
    {"limiter only", {15, 10, 4, 22, 2, 2, 2, 0, 1, 0, 1, 0, 1}},
    {"ducking", {0, 22, 0, 22, 3, 2, 2, 0, 1, 1, 1, 1, 0}},
    {"level-dependent recovery", {4, 5, 2, 22, 1, 4, 0, 4, 4, 5, 1, 0, 1}},
    {"slow recovery, half mix", {6, 0, 10, 11, 0, 0, 4, 3, 5, 4, 1, 0, 0}},
    {"switched out", {2, 3, 5, 22, 4, 1, 3, 2, 3, 2, 0, 0, 1}},
    {"dry", {0, 0, 10, 0, 4, 3, 1, 1, 2, 3, 1, 1, 1}},
    {"every extreme", {0, 0, 10, 1, 0, 4, 4, 4, 5, 5, 1, 0, 0}},
};

struct Case {
  std::string name;
  const Settings* settings;
  Signal main, side;
  std::vector<int> blocks;    // block sizes, used in turn (0 is an empty block)
  std::vector<double> rates;  // sample rate, switched every `rateEvery` blocks
  int rateEvery;
  bool meter;
  bool automate;  // random step changes between blocks
  long frames;
};

void ApplySteps(const int* steps, DerivedValues& values, int* live) {
  for (int p = 0; p < kNumParams; ++p) {
    if (!ApplyParamStep(values, p, steps[p])) live[p] = steps[p];
  }
}

// Runs the chain and the reference side by side; answers an empty string when every bit agreed,
// else where they first parted.
std::string RunCase(const Case& c) {
  const double firstRate = c.rates.front();
  std::vector<double> in[4];
  for (int ch = 0; ch < 4; ++ch) in[ch] = MakeSignal(ch < 2 ? c.main : c.side, ch, c.frames, firstRate);

  ProcessingChain chain;
  reference::Chain ref;
  DerivedValues values;
  DefaultSteps steps;
  int refSteps[kNumParams];
  int current[kNumParams];
  std::memcpy(current, c.settings->steps, sizeof current);
  ApplySteps(current, values, steps.step);
  std::memcpy(refSteps, steps.step, sizeof refSteps);
  LastMeter meter;

  Lcg lcg(12345u);
  std::vector<double> out[2], refOut[2];
  for (auto* o : {&out[0], &out[1], &refOut[0], &refOut[1]}) o->resize(static_cast<size_t>(c.frames) + 1);
  long pos = 0;
  for (int block = 0; pos < c.frames; ++block) {
    if (c.automate && block % 3 == 2) {
      const int p = lcg.Below(kNumParams);
      current[p] = lcg.Below(kParamDefinitions[p].maxStep + 1);
      ApplySteps(current, values, steps.step);
      std::memcpy(refSteps, steps.step, sizeof refSteps);
    }
    const double rate = c.rates[static_cast<size_t>(block / c.rateEvery) % c.rates.size()];
    const int n =
        static_cast<int>(std::min<long>(c.blocks[static_cast<size_t>(block) % c.blocks.size()], c.frames - pos));
    const double* ins[4] = {&in[0][pos], &in[1][pos], &in[2][pos], &in[3][pos]};
    double* outs[2] = {&out[0][pos], &out[1][pos]};
    double* refOuts[2] = {&refOut[0][pos], &refOut[1][pos]};
    chain.Process(ins, outs, n, rate, values, steps, c.meter ? &meter : nullptr);
    ref.Process(ins, refOuts, n, rate, values, refSteps, c.meter);

    for (int i = 0; i < n; ++i) {
      for (int ch = 0; ch < 2; ++ch) {
        if (Bits(out[ch][pos + i]) != Bits(refOut[ch][pos + i])) {
          return "output channel " + std::to_string(ch) + " differs at frame " + std::to_string(pos + i) + ": " +
                 std::to_string(out[ch][pos + i]) + " vs " + std::to_string(refOut[ch][pos + i]);
        }
      }
    }
    if (Bits(chain.MeterValue()) != Bits(ref.meterValue)) return "meter differs after block " + std::to_string(block);
    if (c.meter && n > 0 && Bits(meter.value) != Bits(ref.meterValue)) {
      return "meter handed to the editor differs after block " + std::to_string(block);
    }
    pos += n;
  }

  // The state that carries into the next block.
  if (Bits(chain.DcOffset()) != Bits(ref.dcOffset)) return "dc offset";
  for (int s = 0; s < ProcessingChain::kNumSections; ++s) {
    const FilterSection& a = chain.GetSection(s);
    const reference::Section& b = ref.section[s];
    const double mine[] = {a.a0, a.a1, a.a2, a.b1, a.b2, a.fc, a.q, a.gainDb, a.z1, a.z2};
    const double theirs[] = {b.a0, b.a1, b.a2, b.b1, b.b2, b.fc, b.q, b.gainDb, b.z1, b.z2};
    for (int k = 0; k < 10; ++k) {
      if (Bits(mine[k]) != Bits(theirs[k])) return "section " + std::to_string(s) + " field " + std::to_string(k);
    }
  }
  const compressor* cells[2] = {&chain.CompCell(), &chain.LimitCell()};
  const reference::Cell* refCells[2] = {&ref.comp, &ref.limit};
  for (int k = 0; k < 2; ++k) {
    const compressor& a = *cells[k];
    const reference::Cell& b = *refCells[k];
    const double mine[] = {a.attackCoef, a.releaseCoef, a.envelope,  a.sampleRate, a.gainDb,   a.kneeFactor,
                           a.ratio,      a.threshold,   a.kneeWidth, a.kneeLow,    a.kneeHigh, a.slope};
    const double theirs[] = {b.attackCoef, b.releaseCoef, b.envelope,  b.sampleRate, b.gainDb,   b.kneeFactor,
                             b.ratio,      b.threshold,   b.kneeWidth, b.kneeLow,    b.kneeHigh, b.slope};
    for (int f = 0; f < 12; ++f) {
      if (Bits(mine[f]) != Bits(theirs[f])) return "cell " + std::to_string(k) + " field " + std::to_string(f);
    }
    if (a.holdCount != b.holdCount || a.holdSamples != b.holdSamples || a.hardLimit != b.hardLimit) {
      return "cell " + std::to_string(k) + " hold or limit";
    }
  }
  return "";
}

std::vector<Case> BuildCases() {
  const std::vector<std::vector<int>> blockPatterns = {{1}, {32}, {64}, {512}, {4096}, {7, 0, 300, 1, 64, 0, 4096, 33}};
  const std::vector<double> rates = {44100.0, 48000.0, 96000.0, 22050.0, 192000.0};
  const Signal mains[] = {Signal::kMusic, Signal::kNoise, Signal::kSilence,
                          Signal::kSteps, Signal::kSweep, Signal::kHostile};
  std::vector<Case> cases;
  int k = 0;
  for (const Settings& s : kSettings) {
    for (Signal main : mains) {
      Case c;
      c.settings = &s;
      c.main = main;
      c.side = k % 3 == 0 ? Signal::kSilence : mains[(k + 1) % 6];
      c.blocks = blockPatterns[static_cast<size_t>(k) % blockPatterns.size()];
      c.rates = {rates[static_cast<size_t>(k / 2) % rates.size()]};
      c.rateEvery = 1;
      c.meter = k % 7 != 3;
      c.automate = false;
      c.frames = 12000;
      c.name = std::string(s.name) + " / " + Name(main) + " / sidechain " + Name(c.side);
      cases.push_back(c);
      ++k;
    }
  }
  // Automation between blocks through every parameter, with the rate changing on the way.
  for (size_t b = 0; b < blockPatterns.size(); ++b) {
    for (Signal main : {Signal::kMusic, Signal::kNoise, Signal::kHostile}) {
      Case c;
      c.settings = &kSettings[0];
      c.main = main;
      c.side = Signal::kMusic;
      c.blocks = blockPatterns[b];
      c.rates = {44100.0, 96000.0, 48000.0};
      c.rateEvery = static_cast<int>(40000 / (c.blocks[0] + 20)) + 1;
      c.meter = b % 2 == 0;
      c.automate = true;
      c.frames = 40000;
      c.name = std::string("automation / ") + Name(main) + " / blocks " + std::to_string(c.blocks[0]);
      cases.push_back(c);
    }
  }
  return cases;
}

TEST(ChainEquivalence, EverySampleMeterAndStateMatchTheReference) {
  const std::vector<Case> cases = BuildCases();
  for (const Case& c : cases) {
    const std::string difference = RunCase(c);
    EXPECT_EQ(difference, "") << c.name;
  }
}

// The table above must reach what it claims to: the cells cutting hard, the level-dependent
// recoveries, the knee, and the non-finite recovery.
TEST(ChainEquivalence, TheTableDrivesEveryPath) {
  reference::Chain ref;
  DerivedValues values;
  int live[kNumParams];
  ApplySteps(kSettings[4].steps, values, live);  // level-dependent recovery
  const long n = 12000;
  std::vector<double> in[4], out[2];
  for (int ch = 0; ch < 4; ++ch) in[ch] = MakeSignal(ch < 2 ? Signal::kHostile : Signal::kMusic, ch, n, 44100);
  out[0].resize(n);
  out[1].resize(n);
  const double* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  double* outs[2] = {out[0].data(), out[1].data()};
  double deepest = 0.0;
  bool knee = false, zeroOut = false;
  for (long i = 0; i < n; ++i) {
    const double* one[4] = {ins[0] + i, ins[1] + i, ins[2] + i, ins[3] + i};
    double* o[2] = {outs[0] + i, outs[1] + i};
    ref.Process(one, o, 1, 44100, values, live, true);
    deepest = std::min(deepest, ref.comp.gainDb);
    const double e = std::log(ref.comp.envelope) * 8.685889638065037;
    knee |= ref.comp.kneeWidth > 0.0 && ref.comp.kneeLow < e && e < ref.comp.kneeHigh;
    zeroOut |= *o[0] == 0.0 && !std::isfinite(in[0][static_cast<size_t>(i)]);
  }
  EXPECT_LT(deepest, -10.0);
  EXPECT_TRUE(knee);
  EXPECT_TRUE(zeroOut);
}

}  // namespace
