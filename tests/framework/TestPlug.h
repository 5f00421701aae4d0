#pragma once
// A minimal plug-in on the framework base, shaped like Velmora (13 stepped parameters, channel
// pairs "2-2 4-2", one preset), that records what the base calls on it.

#include "framework/IPlugBase.h"

#include <utility>
#include <vector>

struct TestParamDef {
  const char* name;
  int defaultVal;
  int maxVal;
};

// Velmora's parameter set: index, name, default step and maximum step.
inline const std::vector<TestParamDef>& VelmoraParams() {
  static const std::vector<TestParamDef> defs = {
      {"Compressor Threshold", 15, 15}, {"Limit Level", 22, 22}, {"Gain", 0, 10},
      {"Mix", 22, 22},                  {"Ratio", 2, 4},         {"High", 2, 4},
      {"Mid", 2, 4},                    {"High Pass Filter", 0, 4}, {"Compressor Recovery Time", 1, 5},
      {"Level Recovery Time", 1, 5},    {"Bypass", 1, 1},        {"External Sidechain", 0, 1},
      {"GR Select", 0, 1},
  };
  return defs;
}

inline int VlmCode(const char (&c)[5]) {
  return static_cast<int>((static_cast<unsigned>(c[0]) << 24) | (static_cast<unsigned>(c[1]) << 16) |
                          (static_cast<unsigned>(c[2]) << 8) | static_cast<unsigned>(c[3]));
}

class TestPlug : public IPlugBase {
public:
  // With the defaults this is constructed exactly as Velmora is.
  explicit TestPlug(const char* channelIO = "2-2 4-2", int nPresets = 1, bool initParams = true)
      : IPlugBase(13, channelIO, nPresets, "Velmora", "", "Corvanta", 0x00010100, VlmCode("Vlm1"),
                  VlmCode("Cvta"), kBindingVST3) {
    if (!initParams) return;
    for (int i = 0; i < NParams(); ++i) {
      const TestParamDef& d = VelmoraParams()[static_cast<size_t>(i)];
      GetParam(i)->InitInt(d.name, d.defaultVal, d.maxVal);
    }
    MakeDefaultPreset();
  }

  void ParamChanged(int paramIdx) override {
    IPlugBase::ParamChanged(paramIdx);  // the lock+unlock default, re-entered under callers' locks
    paramChanges.push_back(paramIdx);
  }
  void ReportParamEdit(int paramIdx, double normalized) override { reports.emplace_back(paramIdx, normalized); }
  void PresetsChangedByHost() override { ++presetsChanged; }

  void BeginParamEdit(int) override {}
  void EndParamEdit(int) override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* numerator, int* denominator) override { *numerator = *denominator = 4; }
  void GetTimeInfo(ITimeInfo* info) override { *info = ITimeInfo(); }
  void ResizeEditor(int, int) override {}

  using IPlugBase::CreateLatencyDelay;
  using IPlugBase::SetInputBusLabel;

  std::vector<int> paramChanges;
  std::vector<std::pair<int, double>> reports;
  int presetsChanged = 0;
};
