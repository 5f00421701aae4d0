#include "plugin/Velmora.h"

#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphics.h"
#include "framework/vst3/EffectClassInfo.h"
#include "plugin/VelmoraEditor.h"
#include "plugin/VelmoraIdentity.h"
#include "plugin/VelmoraStepTexts.h"

namespace {
constexpr int kNumPresets = 1;
constexpr const char* kChannelIO = "2-2 4-2";  // inputs 3 and 4 are the sidechain pair

IPlugVST3* CreateVelmora() { return new Velmora(); }
}  // namespace

const EffectClassInfo& GetEffectClassInfo() {
  static const EffectClassInfo info = {
      kVelmoraIdentity, "https://www.corvanta.com", "info@corvanta.com", "Fx|Dynamics", CreateVelmora,
  };
  return info;
}

Velmora::Velmora() : IPlugVST3(kVelmoraIdentity, kNumParams, kChannelIO, kNumPresets) {
  for (int i = 0; i < kNumParams; ++i) {
    const ParamDefinition& def = kParamDefinitions[i];
    GetParam(i)->InitInt(def.name, def.defaultStep, def.maxStep);
    // Hosts show and read every step in the panel's units ("-24 dB", "4:1"), not its number.
    GetParam(i)->SetStepTexts(StepTexts{VelmoraStepText, VelmoraStepFromText}, i);
  }
  mRecoveryParam = GetParam(kParamCompressorRecoveryTime);
  mLevelRecoveryParam = GetParam(kParamLevelRecoveryTime);
  mBypassParam = GetParam(kParamBypass);
  mSidechainParam = GetParam(kParamExternalSidechain);
  mGRSelectParam = GetParam(kParamGRSelect);

  // The editor exists for the whole life of the instance, window or not, so the meter keeps
  // moving; the base owns the graphics object from here on.
  const VelmoraEditor editor = MakeVelmoraEditor(this);
  mMeterControl = editor.meterControl;
  AttachGraphics(editor.graphics);

  MakeDefaultPreset();
}

Velmora::~Velmora() = default;

void Velmora::ParamChanged(int paramIdx) {
  PluginLock lock(Mutex());
  const IParam* param = GetParam(paramIdx);
  if (!param) return;
  ApplyParamStep(mDerived, paramIdx, param->Int());
}

void Velmora::ResetProcessing() { PluginLock lock(Mutex()); }

void Velmora::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  MeterSink* meter = GetGraphics() ? this : nullptr;
  mChain.Process(inputs, outputs, nFrames, GetSampleRate(), mDerived, *this, meter);
}

void Velmora::Read(LiveStepValues& steps) const {
  steps.compressorRecovery = mRecoveryParam->Int();
  steps.levelRecovery = mLevelRecoveryParam->Int();
  steps.bypass = mBypassParam->Int();
  steps.externalSidechain = mSidechainParam->Int();
  steps.grSelect = mGRSelectParam->Int();
}

IControl* Velmora::MeterControl() const {
  IGraphics* graphics = GetGraphics();
  return graphics ? graphics->Control(mMeterControl) : nullptr;
}

void Velmora::ShowMeter(double meterValue) {
  if (IControl* meter = MeterControl()) meter->SetValueFromPlugin(meterValue);
}
