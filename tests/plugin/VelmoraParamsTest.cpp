#include "plugin/VelmoraParams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

TEST(VelmoraParams, DefinitionsAndDefaultDerivedValuesAgree) {
  const char* names[kNumParams] = {"Compressor Threshold",
                                   "Limit Level",
                                   "Gain",
                                   "Mix",
                                   "Ratio",
                                   "High",
                                   "Mid",
                                   "High Pass Filter",
                                   "Compressor Recovery Time",
                                   "Level Recovery Time",
                                   "Bypass",
                                   "External Sidechain",
                                   "GR Select"};
  const int maxSteps[kNumParams] = {15, 22, 10, 22, 4, 4, 4, 4, 5, 5, 1, 1, 1};
  const int defaults[kNumParams] = {15, 22, 0, 22, 2, 2, 2, 0, 1, 1, 1, 0, 0};
  for (int i = 0; i < kNumParams; ++i) {
    EXPECT_STREQ(kParamDefinitions[i].name, names[i]);
    EXPECT_LT(std::strlen(kParamDefinitions[i].name), 32u);
    EXPECT_EQ(kParamDefinitions[i].maxStep, maxSteps[i]) << names[i];
    EXPECT_EQ(kParamDefinitions[i].defaultStep, defaults[i]) << names[i];
  }

  // Applying every default step reproduces the initial derived values.
  DerivedValues applied;
  applied.thresholdDb = applied.limitLevel = applied.makeupGain = applied.mixSteps = 99;
  applied.ratioValue = applied.kneeValue = applied.highDb = applied.midDb = applied.hpfHz = 99;
  for (int i = 0; i < kNumParams; ++i) ApplyParamStep(applied, i, kParamDefinitions[i].defaultStep);
  const DerivedValues initial;
  EXPECT_EQ(std::memcmp(&applied, &initial, sizeof initial), 0);
  EXPECT_EQ(initial.thresholdDb, 0.0);
  EXPECT_EQ(initial.limitLevel, 4.0);
  EXPECT_EQ(initial.makeupGain, 1.0);
  EXPECT_EQ(initial.hpfHz, 20.0);
}

struct StepCase {
  int param, step;
  double DerivedValues::*field;
  double expected;
};

TEST(VelmoraParams, StepTables) {
  using D = DerivedValues;
  const StepCase cases[] = {
      {kParamCompressorThreshold, 0, &D::thresholdDb, -30},
      {kParamCompressorThreshold, 7, &D::thresholdDb, -16},
      {kParamCompressorThreshold, 15, &D::thresholdDb, 0},
      {kParamLimitLevel, 0, &D::limitLevel, 15},  // -30 dB
      {kParamLimitLevel, 21, &D::limitLevel, 4.5},
      {kParamLimitLevel, 22, &D::limitLevel, 4},  // -8 dB
      {kParamGain, 0, &D::makeupGain, 1},
      {kParamGain, 3, &D::makeupGain, std::pow(10.0, 0.3)},
      {kParamGain, 10, &D::makeupGain, 10},
      {kParamMix, 0, &D::mixSteps, 0},
      {kParamMix, 13, &D::mixSteps, 13},
      {kParamRatio, 0, &D::ratioValue, 1.5},
      {kParamRatio, 0, &D::kneeValue, 2},
      {kParamRatio, 2, &D::ratioValue, 3},
      {kParamRatio, 2, &D::kneeValue, 1},
      {kParamRatio, 4, &D::ratioValue, 6},
      {kParamRatio, 4, &D::kneeValue, 0.6},
      {kParamHigh, 0, &D::highDb, -7},
      {kParamHigh, 4, &D::highDb, 4.5},
      {kParamMid, 0, &D::midDb, -8},
      {kParamMid, 3, &D::midDb, 3},
      {kParamHighPassFilter, 3, &D::hpfHz, 160},
      {kParamHighPassFilter, 4, &D::hpfHz, 360},
  };
  for (const StepCase& c : cases) {
    DerivedValues v;
    EXPECT_TRUE(ApplyParamStep(v, c.param, c.step));
    EXPECT_EQ(v.*(c.field), c.expected) << "param " << c.param << " step " << c.step;
  }
}

TEST(VelmoraParams, StepsOutsideATableAndLiveParametersChangeNothing) {
  DerivedValues moved;
  ApplyParamStep(moved, kParamCompressorThreshold, 3);
  ApplyParamStep(moved, kParamRatio, 0);
  ApplyParamStep(moved, kParamHighPassFilter, 4);
  const struct {
    int param, step;
    bool hasDerived;
  } cases[] = {
      {kParamCompressorThreshold, 16, true},
      {kParamCompressorThreshold, -1, true},
      {kParamLimitLevel, 23, true},
      {kParamGain, 11, true},
      {kParamMix, 23, true},
      {kParamRatio, 5, true},
      {kParamHigh, -3, true},
      {kParamMid, 5, true},
      {kParamHighPassFilter, 5, true},
      {kParamCompressorRecoveryTime, 2, false},
      {kParamLevelRecoveryTime, 0, false},
      {kParamBypass, 0, false},
      {kParamExternalSidechain, 1, false},
      {kParamGRSelect, 1, false},
      {-1, 0, false},
      {kNumParams, 0, false},
  };
  for (const auto& c : cases) {
    DerivedValues v = moved;
    EXPECT_EQ(ApplyParamStep(v, c.param, c.step), c.hasDerived);
    EXPECT_EQ(std::memcmp(&v, &moved, sizeof v), 0) << "param " << c.param << " step " << c.step;
  }
}

TEST(VelmoraParams, RecoveryTables) {
  const double fixedComp[4] = {100, 400, 800, 1500};
  const double fixedLevel[4] = {50, 100, 200, 800};
  for (double peak : {0.0, 0.5, 1.0}) {
    for (int step = 0; step < 4; ++step) {
      EXPECT_EQ(CompressorRecoveryMs(step, peak, -1), fixedComp[step]);
      EXPECT_EQ(LevelRecoveryMs(step, peak, -1), fixedLevel[step]);
    }
    EXPECT_EQ(CompressorRecoveryMs(4, peak, -1), 500 + 4500 * peak);
    EXPECT_EQ(LevelRecoveryMs(4, peak, -1), 500 + 4500 * peak);
    EXPECT_EQ(CompressorRecoveryMs(5, peak, -1), 1000 + 6000 * peak);
    EXPECT_EQ(LevelRecoveryMs(5, peak, -1), 1000 + 6000 * peak);
  }
  EXPECT_EQ(CompressorRecoveryMs(6, 1.0, 123.0), 123.0);
  EXPECT_EQ(LevelRecoveryMs(-1, 1.0, 77.0), 77.0);
}

}  // namespace
