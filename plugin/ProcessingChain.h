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
  int compressorRecovery;
  int levelRecovery;
  int bypass;
  int externalSidechain;
  int grSelect;
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
  void Process(const double* const* inputs, double* const* outputs, int frameCount, double sampleRate,
               const DerivedValues& values, const LiveSteps& steps, MeterSink* meter);

  const compressor& CompCell() const { return compCell; }
  const compressor& LimitCell() const { return limitCell; }
  const FilterSection& GetSection(int section) const { return mSections[section]; }
  double MeterValue() const { return meterValue; }
  double DcOffset() const { return dcOffset; }

private:
  // The samples of one span go through three stages, each over all of them before the next:
  // the main path with the sidechain's colour curves, then the detector and gain cells, then
  // gains, mix, meter and outputs. Every sine, hyperbolic tangent, logarithm and exponential of a
  // stage depends on no other sample's result, so each stage first runs its recurrences (filters,
  // envelopes, smoothers) sample by sample and then hands its transcendental work to the maths
  // kernel's span functions, a vector of samples at a time. The operations each value goes
  // through are the same as one sample at a time, and so is every result.
  static constexpr int kSpan = 32;
  struct Span {
    double inL[kSpan], inR[kSpan];  // the raw main inputs: outputs may overwrite them
    double offset[kSpan];
    double mainL[kSpan], mainR[kSpan];
    double scL[kSpan], scR[kSpan];
    double compLevel[kSpan], limitLevel[kSpan];  // |envelope| after each sample, then its log
    GainLaw compLaw[kSpan], limitLaw[kSpan];     // each cell's gain law at each sample
    double compGainDb[kSpan], limGainDb[kSpan];
    double compGain[kSpan], limGain[kSpan];  // the same as linear factors
    LiveStepValues steps[kSpan];
  };

  // Copies of what stages 1 and 2 change, to run a span again.
  struct MainPathState {
    double dcOffset;
    FilterSection sections[4];
  };
  struct CellStageState {
    compressor comp, limit;
    FilterSection detector[3];
    ParamSmoother smoothers[5];
    double compRecoveryMs, levelRecoveryMs;
  };

  // Which stage's lasting state a finiteness check covers.
  using StateParts = unsigned;
  static constexpr StateParts kOutputStage = 0;  // outputs and meter: always covered
  static constexpr StateParts kMainPath = 1;     // the four main-path filters
  static constexpr StateParts kCellStage = 2;    // detector filters, envelopes, releases
  static StateParts PartOf(int section);

  void SetUpSections(double sampleRate, const DerivedValues& values);
  int ConditionSpan(const double* const* inputs, int start, int count, const LiveSteps& steps, Span& span);
  template <bool kStopWhenNonFinite>
  int Condition(const double* const* inputs, int start, int count, const LiveSteps& steps, Span& span);
  int RunCells(Span& span, int from, int count, const DerivedValues& values);
  template <bool kStopWhenNonFinite>
  int Cells(Span& span, int from, int count, const DerivedValues& values);
  void FinishSamples(double* const* outputs, int start, Span& span, int from, int to, int count, double mix,
                     const DerivedValues& values, bool withMeter);
  void UpdateCompressorSettings(const DerivedValues& values);
  void UpdateLimiterSettings(const DerivedValues& values);
  bool CompressorSettled(const DerivedValues& values) const;
  bool LimiterSettled(const DerivedValues& values) const;
  double MainPathStateSum() const;
  double CellStateSum() const;
  double LastingStateSum(double outL, double outR, StateParts parts) const;
  bool StateIsFinite(double outL, double outR, StateParts parts) const;
  void RecoverFromNonFinite(double& outL, double& outR, StateParts parts);

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
