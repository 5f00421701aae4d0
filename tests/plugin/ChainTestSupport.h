#pragma once
// What the processing chain's owner supplies, for tests and benchmarks: live parameter steps
// (defaults unless a test moves them) and a meter that keeps the last value it was shown.

#include "plugin/ProcessingChain.h"

struct DefaultSteps : LiveSteps {
  int step[kNumParams];
  DefaultSteps() {
    for (int i = 0; i < kNumParams; ++i) step[i] = kParamDefinitions[i].defaultStep;
  }
  void Read(LiveStepValues& live) const override {
    live.compressorRecovery = step[kParamCompressorRecoveryTime];
    live.levelRecovery = step[kParamLevelRecoveryTime];
    live.bypass = step[kParamBypass];
    live.externalSidechain = step[kParamExternalSidechain];
    live.grSelect = step[kParamGRSelect];
  }
};

struct LastMeter : MeterSink {
  double value = 0.0;
  void ShowMeter(double v) override { value = v; }
};
