#include "VelmoraParams.h"

#include <cmath>

const ParamDefinition kParamDefinitions[kNumParams] = {
    {"Compressor Threshold", 15, 15},
    {"Limit Level", 22, 22},
    {"Gain", 10, 0},
    {"Mix", 22, 22},
    {"Ratio", 4, 2},
    {"High", 4, 2},
    {"Mid", 4, 2},
    {"High Pass Filter", 4, 0},
    {"Compressor Recovery Time", 5, 1},
    {"Level Recovery Time", 5, 1},
    {"Bypass", 1, 1},
    {"External Sidechain", 1, 0},
    {"GR Select", 1, 0},
};

namespace {

constexpr double kThresholdDb[16] = {-30, -28, -26, -24, -22, -20, -18, -16,
                                     -14, -12, -10, -8,  -6,  -4,  -2,  0};
constexpr double kRatio[5] = {1.5, 2, 3, 4, 6};
constexpr double kKnee[5] = {2, 1.5, 1, 0.8, 0.6};
constexpr double kHighDb[5] = {-7, -4.5, -1.5, 1.5, 4.5};
constexpr double kMidDb[5] = {-8, -5, -2, 3, 6};
constexpr double kHighPassHz[5] = {20, 50, 80, 160, 360};

template <int N>
bool InTable(const double (&)[N], int step) {
  return step >= 0 && step < N;
}

bool InRange(int step, int maxStep) { return step >= 0 && step <= maxStep; }

}  // namespace

bool ApplyParamStep(DerivedValues& values, int paramIdx, int step) {
  switch (paramIdx) {
    case kParamCompressorThreshold:
      if (InTable(kThresholdDb, step)) values.thresholdDb = kThresholdDb[step];
      return true;
    case kParamLimitLevel:
      if (InRange(step, 22)) values.limitLevel = 15.0 - 0.5 * step;
      return true;
    case kParamGain:
      if (InRange(step, 10)) values.makeupGain = std::pow(10.0, step / 10.0);
      return true;
    case kParamMix:
      if (InRange(step, 22)) values.mixSteps = step;
      return true;
    case kParamRatio:
      if (InTable(kRatio, step)) {
        values.ratioValue = kRatio[step];
        values.kneeValue = kKnee[step];
      }
      return true;
    case kParamHigh:
      if (InTable(kHighDb, step)) values.highDb = kHighDb[step];
      return true;
    case kParamMid:
      if (InTable(kMidDb, step)) values.midDb = kMidDb[step];
      return true;
    case kParamHighPassFilter:
      if (InTable(kHighPassHz, step)) values.hpfHz = kHighPassHz[step];
      return true;
    default:
      return false;
  }
}

double CompressorRecoveryMs(int step, double peak, double current) {
  switch (step) {
    case 0: return 100.0;
    case 1: return 400.0;
    case 2: return 800.0;
    case 3: return 1500.0;
    case 4: return 500.0 + 4500.0 * peak;
    case 5: return 1000.0 + 6000.0 * peak;
    default: return current;
  }
}

double LevelRecoveryMs(int step, double peak, double current) {
  switch (step) {
    case 0: return 50.0;
    case 1: return 100.0;
    case 2: return 200.0;
    case 3: return 800.0;
    case 4: return 500.0 + 4500.0 * peak;
    case 5: return 1000.0 + 6000.0 * peak;
    default: return current;
  }
}
