#include "plugin/ColourCurve.h"
#include "plugin/ProcessingChain.h"
#include "tests/plugin/ChainTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;

struct MeterLog : MeterSink {
  std::vector<double> values;
  void ShowMeter(double v) override { values.push_back(v); }
};

// A test signal: two sines with a level that makes the colour curve and both cells work, and
// sample values that are not representable in single precision.
double Signal(int i, double rate, double amplitude) {
  const double t = i / rate;
  return amplitude * (0.7 * std::sin(2 * kPi * 220.0 * t) + 0.3 * std::sin(2 * kPi * 3170.0 * t + 0.4));
}

double Coef(double ms, double rate) { return std::pow(0.01, 1.0 / (ms * rate * 0.001)); }
double ImpliedMs(double coef) { return std::log(0.01) / std::log(coef) / 44.1; }

// One chain with its owner's side: derived values, live steps, meter, rate, and a driver that
// feeds whole signals through it block by block.
struct Rig {
  ProcessingChain chain;
  DerivedValues values;
  DefaultSteps steps;
  MeterLog meter;
  double rate = 44100.0;
  bool withMeter = true;

  void Set(int param, int step) {
    if (!ApplyParamStep(values, param, step)) steps.step[param] = step;
  }

  // Runs frames samples; main and sidechain are functions of the absolute sample index.
  template <class Main, class Side>
  std::vector<double> Run(int frames, Main main, Side side, int blockSize = 512, std::vector<double>* right = nullptr) {
    std::vector<double> in[4], out[2];
    for (auto& v : in) v.resize(blockSize);
    for (auto& v : out) v.resize(blockSize);
    std::vector<double> left;
    for (int start = 0; start < frames; start += blockSize) {
      const int n = std::min(blockSize, frames - start);
      for (int i = 0; i < n; ++i) {
        in[0][i] = main(start + i, 0);
        in[1][i] = main(start + i, 1);
        in[2][i] = side(start + i, 0);
        in[3][i] = side(start + i, 1);
      }
      const double* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
      double* outs[2] = {out[0].data(), out[1].data()};
      chain.Process(ins, outs, n, rate, values, steps, withMeter ? &meter : nullptr);
      left.insert(left.end(), out[0].begin(), out[0].begin() + n);
      if (right) right->insert(right->end(), out[1].begin(), out[1].begin() + n);
    }
    return left;
  }
};

auto Silence = [](int, int) { return 0.0; };

// The offset applied to sample i of a chain's life: -1e-15 first, then alternating.
double OffsetAt(int i) { return i % 2 == 0 ? -1e-15 : 1e-15; }

TEST(ProcessingChain, BypassStepZeroPassesTheInputThrough) {
  Rig rig;
  rig.Set(kParamBypass, 0);
  rig.Set(kParamCompressorThreshold, 0);
  auto main = [&](int i, int ch) { return Signal(i, rig.rate, ch ? 0.9 : 0.8); };
  std::vector<double> right;
  const std::vector<double> left = rig.Run(4410, main, Silence, 300, &right);
  for (int i = 0; i < 4410; ++i) {
    ASSERT_EQ(left[i], main(i, 0) - OffsetAt(i)) << i;
    ASSERT_EQ(right[i], main(i, 1) - OffsetAt(i)) << i;
  }
  // Everything behind the switch kept running.
  EXPECT_LT(rig.chain.CompCell().gainDb, -10.0);
  EXPECT_GT(rig.meter.values.back(), 0.5);
}

TEST(ProcessingChain, MixZeroGivesTheConditionedSignal) {
  Rig rig;
  rig.Set(kParamMix, 0);
  rig.Set(kParamCompressorThreshold, 0);
  rig.Set(kParamGain, 10);
  auto main = [&](int i, int ch) { return Signal(i, rig.rate, ch ? 1.1 : 0.95); };
  std::vector<double> right;
  const int frames = 8000;
  const std::vector<double> left = rig.Run(frames, main, Silence, 512, &right);

  FilterSection dc[2], tone[2];
  for (int ch = 0; ch < 2; ++ch) {
    dc[ch].kind = FilterSection::kHighPass;
    dc[ch].q = 0.8;
    dc[ch].fc = 10.0 / rig.rate;
    dc[ch].SetCoefficients();
    tone[ch].kind = FilterSection::kPeak;
    tone[ch].q = 0.107;
    tone[ch].gainDb = 0.3;
    tone[ch].fc = 1500.0 / rig.rate;
    tone[ch].SetCoefficients();
  }
  bool curveMatters = false;
  for (int i = 0; i < frames; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      const double y = tone[ch].ProcessSample(dc[ch].ProcessSample(static_cast<float>(main(i, ch))));
      const double expected = ColourCurve(y) + OffsetAt(i);
      ASSERT_EQ((ch ? right : left)[i], expected) << "sample " << i << " channel " << ch;
      curveMatters |= std::fabs(ColourCurve(y) - y) > 1e-3;
    }
  }
  EXPECT_TRUE(curveMatters);
}

TEST(ProcessingChain, InPlaceProcessingMatchesSeparateBuffers) {
  Rig a, b;
  const int n = 2048;
  std::vector<double> inA[4], outA[2], buf[4];
  for (int ch = 0; ch < 4; ++ch) {
    inA[ch].resize(n);
    for (int i = 0; i < n; ++i) inA[ch][i] = Signal(i + 97 * ch, 44100, 0.9);
    buf[ch] = inA[ch];
  }
  outA[0].resize(n);
  outA[1].resize(n);
  const double* insA[4] = {inA[0].data(), inA[1].data(), inA[2].data(), inA[3].data()};
  double* outsA[2] = {outA[0].data(), outA[1].data()};
  a.chain.Process(insA, outsA, n, 44100, a.values, a.steps, &a.meter);
  // Outputs written over the main inputs.
  const double* insB[4] = {buf[0].data(), buf[1].data(), buf[2].data(), buf[3].data()};
  double* outsB[2] = {buf[0].data(), buf[1].data()};
  b.chain.Process(insB, outsB, n, 44100, b.values, b.steps, &b.meter);
  EXPECT_EQ(buf[0], outA[0]);
  EXPECT_EQ(buf[1], outA[1]);
}

TEST(ProcessingChain, FirstSampleSettingsOfBothCells) {
  Rig rig;
  rig.Run(1, Silence, Silence);
  const compressor& comp = rig.chain.CompCell();
  const compressor& lim = rig.chain.LimitCell();

  auto secondAdvance = [](double target) {
    ParamSmoother s;
    s.Advance(target);
    return s.Advance(target);
  };
  EXPECT_EQ(comp.attackCoef, Coef(10, 44100));
  EXPECT_EQ(comp.releaseCoef, Coef(secondAdvance(400), 44100));
  EXPECT_EQ(comp.ratio, secondAdvance(3));  // rising from 0: below 1 for the first samples
  EXPECT_EQ(comp.threshold, 0.0);           // the smoother already sits on the 0 dB target
  EXPECT_EQ(comp.kneeFactor, 1.0);
  EXPECT_EQ(comp.holdSamples, 0);
  EXPECT_EQ(lim.attackCoef, Coef(5, 44100));
  EXPECT_EQ(lim.releaseCoef, Coef(secondAdvance(100), 44100));
  EXPECT_EQ(lim.ratio, 1000.0);
  EXPECT_EQ(lim.threshold, secondAdvance(-8));
  EXPECT_EQ(lim.kneeFactor, 0.3);
  EXPECT_EQ(lim.kneeWidth, -lim.threshold * 0.3);
}

TEST(ProcessingChain, SilenceSettlesToOffsetResidues) {
  for (int gainStep : {0, 10}) {
    Rig rig;
    rig.Set(kParamGain, gainStep);
    const double makeup = rig.values.makeupGain;
    const std::vector<double> out = rig.Run(2 * 44100, Silence, Silence);
    for (int i = 44100; i < 2 * 44100; ++i) ASSERT_LE(std::fabs(out[i]), 1e-15 * (makeup + 1)) << i;
    EXPECT_LT(rig.chain.MeterValue(), 1e-3);
    // The editor is handed the last value of every block: 173 blocks of up to 512 samples.
    EXPECT_EQ(rig.meter.values.size(), 173u);
    EXPECT_TRUE(std::is_sorted(rig.meter.values.rbegin(), rig.meter.values.rend()));
    EXPECT_EQ(rig.meter.values.back(), rig.chain.MeterValue());
  }
}

TEST(ProcessingChain, StagesReduceLoudMaterial) {
  struct {
    int threshold, limit;
    double amplitude;
    bool compReduces, limReduces;
  } cases[] = {
      {15, 22, 0.9, false, true},  // 0 dB compressor threshold: only the -8 dB limiter acts
      {0, 22, 0.9, true, true},
      {0, 22, 0.2, true, false},  // -14 dBFS stays under the limiter's knee
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.threshold << " " << c.limit << " " << c.amplitude);
    Rig rig;
    rig.Set(kParamCompressorThreshold, c.threshold);
    rig.Set(kParamLimitLevel, c.limit);
    auto main = [&](int i, int) { return Signal(i, rig.rate, c.amplitude); };
    const std::vector<double> out = rig.Run(44100, main, Silence);
    EXPECT_EQ(rig.chain.CompCell().gainDb < -1.0, c.compReduces);
    EXPECT_EQ(rig.chain.LimitCell().gainDb < -1.0, c.limReduces);
    double peak = 0;
    for (int i = 22050; i < 44100; ++i) peak = std::max(peak, std::fabs(out[i]));
    EXPECT_LT(peak, c.amplitude * 0.8);
  }
}

TEST(ProcessingChain, SilentExternalSidechainReducesNothing) {
  Rig rig;
  rig.Set(kParamExternalSidechain, 1);
  rig.Set(kParamCompressorThreshold, 0);
  rig.Set(kParamLimitLevel, 0);
  auto main = [&](int i, int) { return Signal(i, rig.rate, 1.0); };
  rig.Run(2 * 44100, main, Silence);
  EXPECT_EQ(rig.chain.CompCell().gainDb, 0.0);
  EXPECT_EQ(rig.chain.LimitCell().gainDb, 0.0);
  EXPECT_LT(rig.chain.MeterValue(), 1e-3);
}

TEST(ProcessingChain, GRSelectMovesOnlyTheMeter) {
  // The compressor does nothing (0 dB threshold) while the -30 dB limiter works hard.
  Rig comp, lim;
  lim.Set(kParamGRSelect, 1);
  for (Rig* r : {&comp, &lim}) {
    r->Set(kParamCompressorThreshold, 15);
    r->Set(kParamLimitLevel, 0);
  }
  auto main = [](int i, int) { return Signal(i, 44100, 0.9); };
  const std::vector<double> a = comp.Run(44100, main, Silence);
  const std::vector<double> b = lim.Run(44100, main, Silence);
  EXPECT_EQ(a, b);
  EXPECT_LT(comp.chain.MeterValue(), 0.01);
  EXPECT_GT(lim.chain.MeterValue(), 0.5);
}

TEST(ProcessingChain, LevelDependentRecoveryFollowsTheSidechainPeak) {
  struct {
    int step;
    double level;
  } cases[] = {{4, 0.0}, {4, 1.0}, {5, 0.0}, {5, 1.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "step " << c.step << " level " << c.level);
    Rig rig;
    rig.Set(kParamExternalSidechain, 1);
    rig.Set(kParamCompressorRecoveryTime, c.step);
    rig.Set(kParamLevelRecoveryTime, c.step);
    rig.Run(8820, Silence, [&](int, int) { return c.level; });
    // The sidechain passes the colour curve, so full scale peaks slightly above 1.
    const double peak = std::fabs(ColourCurve(c.level + 1e-15));
    const double expectedMs = c.step == 4 ? 500 + 4500 * peak : 1000 + 6000 * peak;
    EXPECT_NEAR(ImpliedMs(rig.chain.CompCell().releaseCoef), expectedMs, 0.5);
    EXPECT_NEAR(ImpliedMs(rig.chain.LimitCell().releaseCoef), expectedMs, 0.5);
  }
}

TEST(ProcessingChain, FiltersFollowTheHostRateWhileCellsStayAt44100) {
  Rig rig;
  rig.rate = 48000;
  rig.Set(kParamHighPassFilter, 3);
  rig.Set(kParamHigh, 0);
  rig.Set(kParamMid, 4);
  auto main = [](int i, int) { return Signal(i, 48000, 0.9); };
  rig.Run(4800, main, Silence);

  struct {
    int section;
    int32_t kind;
    double q, gainDb, hz;
  } expected[] = {
      {ProcessingChain::kDetectorHighPass, FilterSection::kHighPass, 0.707, 0, 160},
      {ProcessingChain::kDetectorMidPeak, FilterSection::kPeak, 0.207, 6, 1500},
      {ProcessingChain::kDetectorHighShelf, FilterSection::kHighShelf, 0.207, -7, 160},
      {ProcessingChain::kLeftDcHighPass, FilterSection::kHighPass, 0.8, 0, 10},
      {ProcessingChain::kRightDcHighPass, FilterSection::kHighPass, 0.8, 0, 10},
      {ProcessingChain::kLeftTonePeak, FilterSection::kPeak, 0.107, 0.3, 1500},
      {ProcessingChain::kRightTonePeak, FilterSection::kPeak, 0.107, 0.3, 1500},
  };
  for (const auto& e : expected) {
    FilterSection ref;
    ref.kind = e.kind;
    ref.q = e.q;
    ref.gainDb = e.gainDb;
    ref.fc = e.hz / 48000;
    ref.SetCoefficients();
    const FilterSection& s = rig.chain.GetSection(e.section);
    EXPECT_EQ(s.kind, ref.kind) << e.section;
    EXPECT_EQ(s.fc, ref.fc) << e.section;
    EXPECT_EQ(s.a0, ref.a0) << e.section;
    EXPECT_EQ(s.a1, ref.a1) << e.section;
    EXPECT_EQ(s.a2, ref.a2) << e.section;
    EXPECT_EQ(s.b1, ref.b1) << e.section;
    EXPECT_EQ(s.b2, ref.b2) << e.section;
  }
  for (const compressor* cell : {&rig.chain.CompCell(), &rig.chain.LimitCell()}) {
    EXPECT_EQ(cell->sampleRate, 44100.0);
  }
  EXPECT_EQ(rig.chain.CompCell().attackCoef, Coef(10, 44100));
  EXPECT_EQ(rig.chain.LimitCell().attackCoef, Coef(5, 44100));
}

TEST(ProcessingChain, EmptyBlockOnlyRefreshesCoefficients) {
  Rig rig;
  auto main = [](int i, int) { return Signal(i, 44100, 0.9); };
  rig.Run(1000, main, Silence);
  const ProcessingChain before = rig.chain;
  const size_t meterCalls = rig.meter.values.size();

  rig.Set(kParamHighPassFilter, 4);
  double sentinel[2] = {123.0, 456.0};
  double* outs[2] = {&sentinel[0], &sentinel[1]};
  const double ins[4] = {0.5, 0.5, 0.5, 0.5};
  const double* inPtrs[4] = {&ins[0], &ins[1], &ins[2], &ins[3]};
  rig.chain.Process(inPtrs, outs, 0, 96000, rig.values, rig.steps, &rig.meter);

  EXPECT_EQ(sentinel[0], 123.0);
  EXPECT_EQ(sentinel[1], 456.0);
  EXPECT_EQ(rig.meter.values.size(), meterCalls);
  EXPECT_EQ(rig.chain.DcOffset(), before.DcOffset());
  EXPECT_EQ(rig.chain.MeterValue(), before.MeterValue());
  EXPECT_EQ(rig.chain.CompCell().envelope, before.CompCell().envelope);
  const FilterSection& hp = rig.chain.GetSection(ProcessingChain::kDetectorHighPass);
  EXPECT_EQ(hp.fc, 360.0 / 96000);
  EXPECT_NE(hp.a0, before.GetSection(ProcessingChain::kDetectorHighPass).a0);
  for (int s = 0; s < ProcessingChain::kNumSections; ++s) {
    EXPECT_EQ(rig.chain.GetSection(s).z1, before.GetSection(s).z1);
    EXPECT_EQ(rig.chain.GetSection(s).z2, before.GetSection(s).z2);
  }
  EXPECT_EQ(rig.chain.GetSection(ProcessingChain::kLeftDcHighPass).fc, 10.0 / 96000);
}

TEST(ProcessingChain, NonFiniteInputDoesNotPoisonTheState) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct {
    const char* what;
    int channel;
    double bad;
    int bypass;
  } cases[] = {
      {"NaN left", 0, kNaN, 1},
      {"+inf right", 1, kInf, 1},
      {"-inf left", 0, -kInf, 1},
      {"beyond single precision", 1, 1e39, 1},
      {"NaN sidechain", 2, kNaN, 1},
      {"inf sidechain", 3, kInf, 1},
      {"NaN left, switched out", 0, kNaN, 0},
  };
  const int frames = 3 * 44100, burstStart = 22050, burstLength = 7;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Rig poisoned, clean;
    for (Rig* r : {&poisoned, &clean}) {
      r->Set(kParamCompressorThreshold, 5);
      r->Set(kParamBypass, c.bypass);
      r->Set(kParamExternalSidechain, c.channel >= 2 ? 1 : 0);
      r->Set(kParamCompressorRecoveryTime, 4);
    }
    auto burst = [&](int i) { return i >= burstStart && i < burstStart + burstLength; };
    auto main = [&](bool bad) {
      return [&, bad](int i, int ch) { return bad && burst(i) && ch == c.channel ? c.bad : Signal(i, 44100, 0.8); };
    };
    auto side = [&](bool bad) {
      return [&, bad](int i, int ch) {
        return bad && burst(i) && ch + 2 == c.channel ? c.bad : Signal(i + 50, 44100, 0.7);
      };
    };
    std::vector<double> rightP, rightC;
    const std::vector<double> leftP = poisoned.Run(frames, main(true), side(true), 512, &rightP);
    const std::vector<double> leftC = clean.Run(frames, main(false), side(false), 512, &rightC);

    for (int i = 0; i < frames; ++i) {
      ASSERT_TRUE(std::isfinite(leftP[i]) && std::isfinite(rightP[i])) << i;
    }
    // Identical up to the burst, back on the clean result once the transients have died out.
    for (int i = 0; i < burstStart; ++i) ASSERT_EQ(leftP[i], leftC[i]) << i;
    double worst = 0;
    for (int i = frames - 44100; i < frames; ++i) {
      worst = std::max({worst, std::fabs(leftP[i] - leftC[i]), std::fabs(rightP[i] - rightC[i])});
    }
    EXPECT_LT(worst, 1e-6);
    EXPECT_TRUE(std::isfinite(poisoned.chain.MeterValue()));
    EXPECT_NEAR(poisoned.chain.MeterValue(), clean.chain.MeterValue(), 1e-6);
  }
}

TEST(ProcessingChain, AnyHostRateStaysFinite) {
  for (double rate : {1200.0, 2000.0, 3001.0, 8000.0, 192000.0, 1.2e6}) {
    SCOPED_TRACE(rate);
    Rig rig;
    rig.rate = rate;
    rig.Set(kParamHighPassFilter, 4);
    rig.Set(kParamHigh, 4);
    rig.Set(kParamMid, 4);
    rig.Set(kParamCompressorThreshold, 0);
    unsigned noise = 12345;
    auto main = [&](int i, int) {
      noise = noise * 1664525u + 1013904223u;
      return 0.5 * std::sin(2 * kPi * 997.0 * i / rate) + (noise >> 8) / double(1u << 24) - 0.5;
    };
    const int frames = static_cast<int>(std::min(rate, 300000.0));
    std::vector<double> right;
    const std::vector<double> left = rig.Run(frames, main, Silence, 512, &right);
    double peak = 0;
    for (int i = 0; i < frames; ++i) {
      ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i])) << i;
      peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    }
    EXPECT_LT(peak, 4.0);
    // Frequencies under half the rate are used as they are; the others are held just below.
    const double hz[ProcessingChain::kNumSections] = {360, 1500, 360, 10, 10, 1500, 1500};
    for (int s = 0; s < ProcessingChain::kNumSections; ++s) {
      const double fc = rig.chain.GetSection(s).fc;
      EXPECT_EQ(fc, hz[s] / rate < 0.5 ? hz[s] / rate : ProcessingChain::kHeldFc) << s;
    }
  }
}

}  // namespace
