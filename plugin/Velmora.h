#pragma once
// The Velmora effect: a stereo compressor followed by a limiter, bound to a VST3 host. This class
// declares the effect to the framework (identity, channel configuration, the thirteen stepped
// parameters), keeps the physical values derived from parameters 0 to 7 up to date, and runs the
// processing chain on each block.

#include "framework/vst3/IPlugVST3.h"
#include "plugin/ProcessingChain.h"
#include "plugin/VelmoraParams.h"

class IControl;

class Velmora : public IPlugVST3, private LiveSteps, private MeterSink {
public:
  Velmora();
  ~Velmora() override;

  // Recomputes the derived value of a parameter from its current step, under the plug-in mutex.
  // Parameters 8 to 12 have none: the chain reads their steps live.
  void ParamChanged(int paramIdx) override;
  // Nothing is reset: filters, envelopes, smoothers and the meter keep their state when the host
  // sets up processing again, a new sample rate included.
  void ResetProcessing() override;
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;

  const DerivedValues& Derived() const { return mDerived; }
  // The gain-reduction meter of the editor, or null without an editor. Its value is written on
  // the audio thread, once per sample.
  IControl* MeterControl() const;

private:
  void Read(LiveStepValues& steps) const override;
  void ShowMeter(double meterValue) override;

  DerivedValues mDerived;
  ProcessingChain mChain;
  int mMeterControl = -1;  // index of the meter in the editor's control list
  // The five parameters the chain reads every sample; they live as long as the plug-in.
  const IParam* mRecoveryParam = nullptr;
  const IParam* mLevelRecoveryParam = nullptr;
  const IParam* mBypassParam = nullptr;
  const IParam* mSidechainParam = nullptr;
  const IParam* mGRSelectParam = nullptr;
};
