#pragma once
// A minimal plug-in on the framework base, shaped like Velmora (its identity and 13 stepped
// parameters, channel pairs "2-2 4-2", one preset), that records what the base calls on it.

#include "framework/IPlugBase.h"
#include "plugin/VelmoraIdentity.h"
#include "plugin/VelmoraSteps.h"

#include <utility>
#include <vector>

class TestPlug : public IPlugBase {
public:
  // With the defaults this is constructed exactly as Velmora is.
  explicit TestPlug(const char* channelIO = "2-2 4-2", int nPresets = 1, bool initParams = true)
      : IPlugBase(kVelmoraIdentity, kNumParams, channelIO, nPresets, kBindingVST3) {
    if (!initParams) return;
    for (int i = 0; i < NParams(); ++i) {
      const ParamDefinition& def = kParamDefinitions[i];
      GetParam(i)->InitInt(def.name, def.defaultStep, def.maxStep);
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
  // The binding's plumbing, driven here as a binding would.
  using IPlugBase::AttachInputBuffers;
  using IPlugBase::CopyOutputToHost;
  using IPlugBase::GetInChannel;
  using IPlugBase::GetOutChannel;
  using IPlugBase::InputPointers;
  using IPlugBase::OutputPointers;
  using IPlugBase::PassThroughBuffers;
  using IPlugBase::SetBlockSize;
  using IPlugBase::SetHost;
  using IPlugBase::SetInputChannelConnected;
  using IPlugBase::SetOutputChannelConnected;
  using IPlugBase::ZeroScratchBuffers;

  std::vector<int> paramChanges;
  std::vector<std::pair<int, double>> reports;
  int presetsChanged = 0;
};
