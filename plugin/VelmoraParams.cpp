#include "VelmoraParams.h"

namespace {

bool InRange(int paramIdx, int step) { return step >= 0 && step <= kParamDefinitions[paramIdx].maxStep; }

double RecoveryMs(const double (&fixedMs)[4], int step, double peak, double current) {
  if (InTable(fixedMs, step)) return fixedMs[step];
  if (InTable(kPeakRecovery, step - 4)) {
    const PeakRecovery& r = kPeakRecovery[step - 4];
    return r.baseMs + r.msPerPeak * peak;
  }
  return current;
}

}  // namespace

bool ApplyParamStep(DerivedValues& values, int paramIdx, int step) {
  switch (paramIdx) {
    case kParamCompressorThreshold:
      if (InTable(kThresholdDb, step)) values.thresholdDb = kThresholdDb[step];
      return true;
    case kParamLimitLevel:
      if (InRange(paramIdx, step)) values.limitLevel = LimitLevel(step);
      return true;
    case kParamGain:
      if (InRange(paramIdx, step)) values.makeupGain = MakeupGain(step);
      return true;
    case kParamMix:
      if (InRange(paramIdx, step)) values.mixSteps = step;
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
  return RecoveryMs(kCompressorRecoveryMs, step, peak, current);
}

double LevelRecoveryMs(int step, double peak, double current) {
  return RecoveryMs(kLevelRecoveryMs, step, peak, current);
}
