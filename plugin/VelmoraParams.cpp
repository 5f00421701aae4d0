#include "VelmoraParams.h"

namespace {

bool InRange(int paramIdx, int step) { return step >= 0 && step <= kParamDefinitions[paramIdx].maxStep; }

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
    default: return false;
  }
}
