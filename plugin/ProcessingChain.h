#pragma once
// All per-sample processing of the effect and the state it keeps between blocks: input
// conditioning, sidechain choice, the equalised compressor detector, the compressor and limiter
// cells, make-up gain, the in/out switch with dry/wet mix, and the gain-reduction meter.
//
// Nothing is reset after construction: filter states, envelopes, smoothers and the meter carry
// over between blocks and across sample-rate changes. The owner calls Process with its lock held,
// so the derived values it passes are stable for the block.

#include "FilterSection.h"
#include "ParamSmoother.h"
#include "VelmoraParams.h"
#include "compressor.h"

// The current steps of "Compressor Recovery Time", "Level Recovery Time", "Bypass",
// "External Sidechain" and "GR Select".
struct LiveStepValues {
  int compressorRecovery = 0;
  int levelRecovery = 0;
  int bypass = 0;
  int externalSidechain = 0;
  int grSelect = 0;
};

// Where the chain reads those five steps, once per sample, so a change acts from the next sample.
// Must be cheap and must not allocate or lock.
class LiveSteps {
public:
  virtual ~LiveSteps() = default;
  virtual void Read(LiveStepValues& steps) const = 0;
};

// Receives the meter value at the end of every block while an editor is attached. The editor
// draws 25 times a second, so the last value of a block is all it can show.
class MeterSink {
public:
  virtual ~MeterSink() = default;
  virtual void ShowMeter(double meterValue) = 0;
};

class ProcessingChain {
public:
  enum Section {
    kDetectorHighPass = 0,
    kDetectorMidPeak,
    kDetectorHighShelf,
    kLeftDcHighPass,
    kRightDcHighPass,
    kLeftTonePeak,
    kRightTonePeak,
    kNumSections
  };

  // A section whose frequency reaches half the sample rate is held at this fraction of the rate
  // for the block, so very low host rates stay stable.
  static constexpr double kHeldFc = 0.499;

  ProcessingChain() = default;

  // inputs: main left, main right, sidechain left, sidechain right; outputs: left, right; each
  // frameCount samples (inputs and outputs may share memory). `meter` is null when no editor is
  // attached; the meter then neither moves nor is reported. frameCount < 1 only refreshes the
  // filter coefficients. Allocates nothing and takes no lock.
  void Process(const double* const* inputs, double* const* outputs, int frameCount,
               double sampleRate, const DerivedValues& values, const LiveSteps& steps,
               MeterSink* meter);

  const compressor& CompCell() const { return compCell; }
  const compressor& LimitCell() const { return limitCell; }
  const FilterSection& GetSection(int section) const { return mSections[section]; }
  double MeterValue() const { return meterValue; }
  double DcOffset() const { return dcOffset; }

private:
  // The samples of one span: the main path and the sidechain's colour curves are computed for all
  // of them first (nothing there depends on the gain cells, so the processor can overlap one
  // sample's sines and tangents with the next one's), then the detector, cells, gains, mix and
  // meter run through them in order.
  static constexpr int kSpan = 32;
  struct Span {
    double inL[kSpan], inR[kSpan];  // the raw main inputs: outputs may overwrite them
    double offset[kSpan];
    double mainL[kSpan], mainR[kSpan];
    double scL[kSpan], scR[kSpan];
    LiveStepValues steps[kSpan];
  };

  void SetUpSections(double sampleRate, const DerivedValues& values);
  int ConditionSpan(const double* const* inputs, int start, int count, const LiveSteps& steps, Span& span);
  void ProcessSpan(double* const* outputs, int start, int count, const Span& span, double mix,
                   double meterCoef, const DerivedValues& values, bool withMeter);
  void UpdateCompressorSettings(const DerivedValues& values);
  void UpdateLimiterSettings(const DerivedValues& values);
  bool CompressorSettled(const DerivedValues& values) const;
  bool LimiterSettled(const DerivedValues& values) const;
  double MainPathStateSum() const;
  double LastingStateSum(double outL, double outR, bool withMainPath) const;
  bool StateIsFinite(double outL, double outR, bool withMainPath) const;
  void RecoverFromNonFinite(double& outL, double& outR, bool withMainPath);

  ParamSmoother mCompThresholdSmoother;
  ParamSmoother mCompRecoverySmoother;
  ParamSmoother mLimitThresholdSmoother;
  ParamSmoother mLimitRecoverySmoother;
  ParamSmoother mMakeupSmoother;
  ParamSmoother mRatioSmoother;
  ParamSmoother mMixSmoother;

  double dcOffset = 1e-15;  // flips sign every sample to keep denormals out of the filters
  double meterValue = 1.0;
  // The meter's one-pole coefficient and the sample rate it was computed for.
  double mMeterRate = 0.0;
  double mMeterCoef = 0.0;
  bool mMeterCoefValid = false;

  compressor compCell;
  compressor limitCell;

  FilterSection mSections[kNumSections];

  // Release times of the last sample: a recovery step outside the table keeps them.
  double compRecoveryMs = 0.0, levelRecoveryMs = 0.0;
};
