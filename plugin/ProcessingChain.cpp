#include "ProcessingChain.h"

#include "ColourCurve.h"
#include "Decibels.h"
#include "FilterSectionPair.h"
#include "SameBits.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

constexpr double kTonePeakHz = 1500.0;
constexpr double kDcBlockHz = 10.0;

constexpr double kCompressorAttackMs = 10.0;
constexpr double kLimiterAttackMs = 5.0;
constexpr double kLimiterRatio = 1000.0;
constexpr double kLimiterKnee = 0.3;

// A section's coefficients follow from its kind, fc, q and gain alone, and only this function
// writes them, so while all four are the same bits as before the coefficients already in place
// are exactly what a recomputation would give.
void SetUp(FilterSection& s, int32_t kind, double q, double gainDb, double hz, double sampleRate) {
  double fc = hz / sampleRate;
  if (!(fc < 0.5)) fc = ProcessingChain::kHeldFc;
  if (s.kind == kind && SameBits(s.q, q) && SameBits(s.gainDb, gainDb) && SameBits(s.fc, fc)) return;
  s.kind = kind;
  s.q = q;
  s.gainDb = gainDb;
  s.fc = fc;
  s.SetCoefficients();
}

bool IsFinite(double x) { return std::isfinite(x); }

}  // namespace

// The stage whose state a filter section belongs to.
ProcessingChain::StateParts ProcessingChain::PartOf(int section) {
  const bool detector = section == kDetectorHighPass || section == kDetectorMidPeak || section == kDetectorHighShelf;
  return detector ? kCellStage : kMainPath;
}

void ProcessingChain::SetUpSections(double sampleRate, const DerivedValues& v) {
  using F = FilterSection;
  SetUp(mSections[kDetectorHighPass], F::kHighPass, 0.707, 0.0, v.hpfHz, sampleRate);
  SetUp(mSections[kDetectorMidPeak], F::kPeak, 0.207, v.midDb, kTonePeakHz, sampleRate);
  SetUp(mSections[kDetectorHighShelf], F::kHighShelf, 0.207, v.highDb, v.hpfHz, sampleRate);
  SetUp(mSections[kLeftDcHighPass], F::kHighPass, 0.8, 0.0, kDcBlockHz, sampleRate);
  SetUp(mSections[kRightDcHighPass], F::kHighPass, 0.8, 0.0, kDcBlockHz, sampleRate);
  SetUp(mSections[kLeftTonePeak], F::kPeak, 0.107, 0.3, kTonePeakHz, sampleRate);
  SetUp(mSections[kRightTonePeak], F::kPeak, 0.107, 0.3, kTonePeakHz, sampleRate);
}

void ProcessingChain::UpdateCompressorSettings(const DerivedValues& v) {
  compressor& cell = compCell;
  cell.setAttack(kCompressorAttackMs);
  mCompRecoverySmoother.Advance(compRecoveryMs);
  cell.setRelease(mCompRecoverySmoother.Advance(compRecoveryMs));
  cell.setHold(0.0);
  // Ratio and threshold glide at double speed while they move, and cost nothing once settled.
  if (mRatioSmoother.Advance(v.ratioValue) != cell.ratio) cell.setRatio(mRatioSmoother.Advance(v.ratioValue));
  if (mCompThresholdSmoother.Advance(v.thresholdDb) != cell.threshold)
    cell.setThreshold(mCompThresholdSmoother.Advance(v.thresholdDb));
  if (cell.kneeFactor != v.kneeValue) cell.setKnee(v.kneeValue);
  cell.setHardLimit(0);
}

// Whether UpdateCompressorSettings with the current release time would leave every setting of
// the cell and every smoother it advances exactly as they are, apart from the slope that
// setHardLimit restores after each gain computation: the smoothers sit on fixed points of their
// targets and the cell already holds what they would set. It stays so for as long as the release
// time and the derived values do not change, which is nearly always.
bool ProcessingChain::CompressorSettled(const DerivedValues& v) const {
  const compressor& cell = compCell;
  return mCompRecoverySmoother.SettledAt(compRecoveryMs) &&
         cell.releaseIs(static_cast<double>(mCompRecoverySmoother.z)) && cell.attackIs(kCompressorAttackMs) &&
         cell.holdIs(0.0) && mRatioSmoother.SettledAt(v.ratioValue) &&
         !(static_cast<double>(mRatioSmoother.z) != cell.ratio) && mCompThresholdSmoother.SettledAt(v.thresholdDb) &&
         !(static_cast<double>(mCompThresholdSmoother.z) != cell.threshold) && !(cell.kneeFactor != v.kneeValue) &&
         cell.hardLimit == 0;
}

bool ProcessingChain::LimiterSettled(const DerivedValues& v) const {
  const compressor& cell = limitCell;
  const double thresholdDb = -2.0 * v.limitLevel;
  return mLimitRecoverySmoother.SettledAt(levelRecoveryMs) &&
         cell.releaseIs(static_cast<double>(mLimitRecoverySmoother.z)) && cell.attackIs(kLimiterAttackMs) &&
         cell.holdIs(0.0) && !(cell.ratio != kLimiterRatio) && mLimitThresholdSmoother.SettledAt(thresholdDb) &&
         !(static_cast<double>(mLimitThresholdSmoother.z) != cell.threshold) && !(cell.kneeFactor != kLimiterKnee) &&
         cell.hardLimit == 0;
}

void ProcessingChain::UpdateLimiterSettings(const DerivedValues& v) {
  compressor& cell = limitCell;
  cell.setAttack(kLimiterAttackMs);
  mLimitRecoverySmoother.Advance(levelRecoveryMs);
  cell.setRelease(mLimitRecoverySmoother.Advance(levelRecoveryMs));
  cell.setHold(0.0);
  if (cell.ratio != kLimiterRatio) cell.setRatio(kLimiterRatio);
  const double thresholdDb = -2.0 * v.limitLevel;
  if (mLimitThresholdSmoother.Advance(thresholdDb) != cell.threshold)
    cell.setThreshold(mLimitThresholdSmoother.Advance(thresholdDb));
  if (cell.kneeFactor != kLimiterKnee) cell.setKnee(kLimiterKnee);
  cell.setHardLimit(0);
}

void ProcessingChain::Process(const double* const* inputs, double* const* outputs, int frameCount, double sampleRate,
                              const DerivedValues& values, const LiveSteps& steps, MeterSink* meter) {
  const double mix = values.mixSteps / 22.0;
  SetUpSections(sampleRate, values);
  if (frameCount < 1) return;

  if (!mMeterCoefValid || !SameBits(sampleRate, mMeterRate)) {
    mMeterRate = sampleRate;
    mMeterCoef = kernel::Exp(-4.60517018599 / (sampleRate * 0.3));  // 99 % in 0.3 s
    mMeterCoefValid = true;
  }

  Span span;
  for (int start = 0; start < frameCount;) {
    const int count = ConditionSpan(inputs, start, std::min(kSpan, frameCount - start), steps, span);
    for (int from = 0; from < count;) {
      const int to = RunCells(span, from, count, values);
      FinishSamples(outputs, start, span, from, to, count, mix, values, meter != nullptr);
      from = to;
    }
    start += count;
  }
  if (meter) meter->ShowMeter(meterValue);
}

// Non-finite state never turns finite again: every operation it enters yields an infinity or a
// NaN, and the next sample's state is made of those results. So a stage whose state is finite
// after the last sample of a span was finite after every sample of it, and the first two stages
// run a span without looking; only when the state is non-finite at the end do they run it again
// from a saved copy, sample by sample, to stop right after the first sample that broke it.

// Stage 1: the conditioned main pair and the sidechain pair for up to `count` samples from
// `start`, with each sample's live steps and offset. Every input of these samples is read here,
// before any output is written (they may share memory). Stops after a sample that leaves a
// main-path filter non-finite, so that the recovery after that sample acts before the next one
// enters the filters; answers how many samples it conditioned.
int ProcessingChain::ConditionSpan(const double* const* inputs, int start, int count, const LiveSteps& steps,
                                   Span& span) {
  const MainPathState before{
      dcOffset,
      {mSections[kLeftDcHighPass], mSections[kRightDcHighPass], mSections[kLeftTonePeak], mSections[kRightTonePeak]}};
  const int conditioned = Condition<false>(inputs, start, count, steps, span);
  if (std::isfinite(MainPathStateSum())) return conditioned;
  dcOffset = before.dcOffset;
  mSections[kLeftDcHighPass] = before.sections[0];
  mSections[kRightDcHighPass] = before.sections[1];
  mSections[kLeftTonePeak] = before.sections[2];
  mSections[kRightTonePeak] = before.sections[3];
  return Condition<true>(inputs, start, count, steps, span);
}

template <bool kStopWhenNonFinite>
int ProcessingChain::Condition(const double* const* inputs, int start, int count, const LiveSteps& steps, Span& span) {
  FilterSection& dcL = mSections[kLeftDcHighPass];
  FilterSection& dcR = mSections[kRightDcHighPass];
  FilterSection& toneL = mSections[kLeftTonePeak];
  FilterSection& toneR = mSections[kRightTonePeak];
  // Sample i's live steps, offset and inputs.
  const auto readSample = [&](int i) {
    steps.Read(span.steps[i]);
    dcOffset = -dcOffset;
    span.offset[i] = dcOffset;
    span.inL[i] = inputs[0][start + i];
    span.inR[i] = inputs[1][start + i];
  };
  int conditioned = count;
  if (kStopWhenNonFinite) {
    for (int i = 0; i < count; ++i) {
      readSample(i);
      span.mainL[i] = toneL.ProcessSample(dcL.ProcessSample(static_cast<float>(span.inL[i])));
      span.mainR[i] = toneR.ProcessSample(dcR.ProcessSample(static_cast<float>(span.inR[i])));
      if (!std::isfinite(MainPathStateSum())) {
        conditioned = i + 1;
        break;
      }
    }
  } else {
    // Each sample's live steps, offset and inputs first, so the filter loop makes no call; the
    // two channels' sections then run side by side.
    for (int i = 0; i < count; ++i) readSample(i);
    FilterSectionPair dc(dcL, dcR), tone(toneL, toneR);
    for (int i = 0; i < count; ++i) {
      const FilterSectionPair::V in = FilterSectionPair::RoundedToFloat(FilterSectionPair::V{span.inL[i], span.inR[i]});
      const FilterSectionPair::V main = tone.Process(dc.Process(in));
      span.mainL[i] = main[0];
      span.mainR[i] = main[1];
    }
    dc.Store();
    tone.Store();
  }

  // The colour curve on the filtered pair; the sidechain curves the result again, or the
  // external pair once.
  ColourCurveSpan(span.mainL, span.mainL, conditioned);
  ColourCurveSpan(span.mainR, span.mainR, conditioned);
  for (int i = 0; i < conditioned; ++i) {
    const double offset = span.offset[i];
    span.mainL[i] += offset;
    span.mainR[i] += offset;
    if (span.steps[i].externalSidechain == 0) {
      span.scL[i] = span.mainL[i];
      span.scR[i] = span.mainR[i];
    } else {
      span.scL[i] = inputs[2][start + i] + offset;
      span.scR[i] = inputs[3][start + i] + offset;
    }
  }
  ColourCurveSpan(span.scL, span.scL, conditioned);
  ColourCurveSpan(span.scR, span.scR, conditioned);
  return conditioned;
}

// Stage 2: the compressor's detector and both gain cells with their settings, for span samples
// from `from` up to `count`, leaving each sample's two gains in dB in the span. Stops after a
// sample that leaves any of their state non-finite, for the same reason as stage 1; answers where
// it stopped.
int ProcessingChain::RunCells(Span& span, int from, int count, const DerivedValues& values) {
  const CellStageState before{
      compCell,
      limitCell,
      {mSections[kDetectorHighPass], mSections[kDetectorMidPeak], mSections[kDetectorHighShelf]},
      {mCompRecoverySmoother, mLimitRecoverySmoother, mRatioSmoother, mCompThresholdSmoother, mLimitThresholdSmoother},
      compRecoveryMs,
      levelRecoveryMs};
  const int to = Cells<false>(span, from, count, values);
  if (std::isfinite(CellStateSum())) return to;
  compCell = before.comp;
  limitCell = before.limit;
  mSections[kDetectorHighPass] = before.detector[0];
  mSections[kDetectorMidPeak] = before.detector[1];
  mSections[kDetectorHighShelf] = before.detector[2];
  mCompRecoverySmoother = before.smoothers[0];
  mLimitRecoverySmoother = before.smoothers[1];
  mRatioSmoother = before.smoothers[2];
  mCompThresholdSmoother = before.smoothers[3];
  mLimitThresholdSmoother = before.smoothers[4];
  compRecoveryMs = before.compRecoveryMs;
  levelRecoveryMs = before.levelRecoveryMs;
  return Cells<true>(span, from, count, values);
}

template <bool kStopWhenNonFinite>
int ProcessingChain::Cells(Span& span, int from, int count, const DerivedValues& values) {
  FilterSection& detHighPass = mSections[kDetectorHighPass];
  FilterSection& detMid = mSections[kDetectorMidPeak];
  FilterSection& detShelf = mSections[kDetectorHighShelf];

  // Settings that have come to rest are not driven again while their inputs stay: the cells'
  // while their release times keep the value they were settled with.
  bool compSettled = CompressorSettled(values);
  bool limitSettled = LimiterSettled(values);
  const double compSettledMs = compRecoveryMs, limitSettledMs = levelRecoveryMs;
  // A cell's gain law changes only with its settings: up to and including the sample at which
  // they are first driven again (`...Moved`), every sample has the law in force now, and only
  // the laws after it are kept sample by sample.
  const GainLaw compRestingLaw = compCell.gainLaw(), limitRestingLaw = limitCell.gainLaw();
  int compMoved = count, limitMoved = count;

  int to = count;
  for (int i = from; i < count; ++i) {
    const LiveStepValues& live = span.steps[i];
    const double scL = span.scL[i], scR = span.scR[i];

    const double peak = std::max(std::fabs(scL), std::fabs(scR));
    compRecoveryMs = CompressorRecoveryMs(live.compressorRecovery, peak, compRecoveryMs);
    levelRecoveryMs = LevelRecoveryMs(live.levelRecovery, peak, levelRecoveryMs);

    // The compressor listens to an equalised mono sum; the limiter to the stereo pair directly.
    float d = static_cast<float>((scL + scR) * 0.5);
    d = detShelf.ProcessSample(detMid.ProcessSample(detHighPass.ProcessSample(d)));
    // The envelope now, the gain once the span's logarithms are known: the law in force is kept,
    // since the settings below change it for the next sample.
    // While settled, the settings' only step is setHardLimit(0), which changes nothing: settled
    // means hardLimit is 0 already, and then slope holds the linear slope it would set.
    compCell.trackLinked(d, d);
    span.compLevel[i] = std::fabs(compCell.envelope);
    if (i > compMoved) span.compLaw[i] = compCell.gainLaw();
    if (!(compSettled && SameBits(compRecoveryMs, compSettledMs))) {
      UpdateCompressorSettings(values);
      compSettled = false;
      if (compMoved == count) compMoved = i;
    }

    limitCell.trackLinked(scL, scR);
    span.limitLevel[i] = std::fabs(limitCell.envelope);
    if (i > limitMoved) span.limitLaw[i] = limitCell.gainLaw();
    if (!(limitSettled && SameBits(levelRecoveryMs, limitSettledMs))) {
      UpdateLimiterSettings(values);
      limitSettled = false;
      if (limitMoved == count) limitMoved = i;
    }
    if (kStopWhenNonFinite && !std::isfinite(CellStateSum())) {
      to = i + 1;
      break;
    }
  }

  // Each cell's gain computer on its envelope's level in dB; the cells keep the last gain.
  const int n = to - from;
  kernel::LogSpan(span.compLevel + from, span.compLevel + from, n);
  kernel::LogSpan(span.limitLevel + from, span.limitLevel + from, n);
  double kneeSlope;  // the gain computer's passing knee slope: the settings above restored it
  for (int i = from; i < to; ++i) {
    const GainLaw& compLaw = i > compMoved ? span.compLaw[i] : compRestingLaw;
    const GainLaw& limitLaw = i > limitMoved ? span.limitLaw[i] : limitRestingLaw;
    span.compGainDb[i] = compLaw.GainDb(span.compLevel[i] * kDbPerNeper, kneeSlope);
    span.limGainDb[i] = limitLaw.GainDb(span.limitLevel[i] * kDbPerNeper, kneeSlope);
  }
  if (n > 0) {
    compCell.gainDb = span.compGainDb[to - 1];
    limitCell.gainDb = span.limGainDb[to - 1];
  }
  return to;
}

// Stage 3: gains, make-up, the in/out switch with the mix, the meter and the finiteness check,
// for span samples [from, to); writes the outputs. `count` is where stage 1 stopped.
void ProcessingChain::FinishSamples(double* const* outputs, int start, Span& span, int from, int to, int count,
                                    double mix, const DerivedValues& values, bool withMeter) {
  // Smoothers at rest on their targets answer the same value to every advance.
  const bool makeupSettled = mMakeupSmoother.SettledAt(values.makeupGain);
  const bool mixSettled = mMixSmoother.SettledAt(mix);
  const double meterCoef = mMeterCoef;

  // Both gains of every sample as linear factors.
  for (int i = from; i < to; ++i) {
    span.compGain[i] = span.compGainDb[i] * kNeperPerDb;
    span.limGain[i] = span.limGainDb[i] * kNeperPerDb;
  }
  kernel::ExpSpan(span.compGain + from, span.compGain + from, to - from);
  kernel::ExpSpan(span.limGain + from, span.limGain + from, to - from);

  // The two channels side by side, each lane through exactly the operations of its channel.
  using V = FilterSectionPair::V;
  double* const outL = outputs[0] + start;
  double* const outR = outputs[1] + start;
  for (int i = from; i < to; ++i) {
    const LiveStepValues& live = span.steps[i];
    const double offset = span.offset[i];
    const V main{span.mainL[i], span.mainR[i]};

    const double gc = span.compGain[i];
    V wet = gc * main;
    const double gl = span.limGain[i];
    wet = gl * wet;
    if (makeupSettled) {
      wet = static_cast<double>(mMakeupSmoother.z) * wet;
    } else {
      const float m1 = mMakeupSmoother.Advance(values.makeupGain);
      const float m2 = mMakeupSmoother.Advance(values.makeupGain);
      wet = V{m1, m2} * wet;
    }

    V out;
    if (live.bypass == 0) {
      out = V{span.inL[i], span.inR[i]} - offset;
    } else {
      // The dry share is the conditioned signal, not the raw input; 1 - k is taken in double
      // precision from the widened smoother value, so it is exact. Left takes the first two
      // advances, right the next two.
      ParamSmoother& m = mMixSmoother;
      V wetShare, dryShare;
      if (mixSettled) {
        wetShare = dryShare = V{} + static_cast<double>(m.z);
      } else {
        const float k1 = m.Advance(mix), k2 = m.Advance(mix), k3 = m.Advance(mix), k4 = m.Advance(mix);
        wetShare = V{k1, k3};
        dryShare = V{k2, k4};
      }
      out = (wet - offset) * wetShare + (1.0 - dryShare) * main;
    }

    if (withMeter) {
      // The meter's source is one of the two gains already applied. Both candidates for t are
      // formed before the comparison with the meter, which is all that waits for the last sample.
      const double grLinear = live.grSelect == 0 ? gc : gl;
      const double t = std::fabs(1.0 - grLinear);  // the fraction of level removed
      const double rising = t * 1.0125, falling = t * 0.9875;
      const double target = t > meterValue ? rising : falling;
      meterValue = (meterValue - target) * meterCoef + target;
    }

    // One test on finite audio; the full examination only when something may have gone wrong.
    // Stages 1 and 2 have already run ahead, and each stops right after a sample that leaves its
    // state non-finite; so their state was finite at every earlier sample and belongs only to
    // the check of the sample where they stopped, where it is exactly that sample's state.
    double left = out[0], right = out[1];
    StateParts parts = kOutputStage;
    if (i == to - 1) parts |= kCellStage;
    if (i == count - 1) parts |= kMainPath;
    const double sum = parts == kOutputStage ? (left + right) + meterValue : LastingStateSum(left, right, parts);
    if (!std::isfinite(sum) && !StateIsFinite(left, right, parts)) RecoverFromNonFinite(left, right, parts);

    outL[i] = left;
    outR[i] = right;
  }
}

// Sums of a stage's lasting state, for the finiteness test: finite only if every term is.
double ProcessingChain::MainPathStateSum() const {
  const FilterSection* s = mSections;
  return ((s[kLeftDcHighPass].z1 + s[kLeftDcHighPass].z2) + (s[kRightDcHighPass].z1 + s[kRightDcHighPass].z2)) +
         ((s[kLeftTonePeak].z1 + s[kLeftTonePeak].z2) + (s[kRightTonePeak].z1 + s[kRightTonePeak].z2));
}

double ProcessingChain::CellStateSum() const {
  const FilterSection* s = mSections;
  const double detector =
      (s[kDetectorHighPass].z1 + s[kDetectorHighPass].z2) +
      ((s[kDetectorMidPeak].z1 + s[kDetectorMidPeak].z2) + (s[kDetectorHighShelf].z1 + s[kDetectorHighShelf].z2));
  const double cells = (compCell.envelope + limitCell.envelope) + (compCell.releaseCoef + limitCell.releaseCoef);
  const double smoothers = static_cast<double>(mCompRecoverySmoother.z) + static_cast<double>(mLimitRecoverySmoother.z);
  return detector + (cells + smoothers);
}

// The sum of everything StateIsFinite examines. It is finite only if every term is (an infinity
// or a NaN anywhere makes it infinite or NaN), so a finite sum clears them all at the cost of a
// few additions; a sum that overflows although every term is finite only costs the full check.
double ProcessingChain::LastingStateSum(double outL, double outR, StateParts parts) const {
  double sum = (outL + outR) + meterValue;
  if (parts & kCellStage) sum += CellStateSum();
  if (parts & kMainPath) sum += MainPathStateSum();
  return sum;
}

// Everything a non-finite (or single-precision-overflowing) input can reach and that outlives
// the sample, in the parts asked for. Finite processing never trips this, so it never alters a
// finite result.
bool ProcessingChain::StateIsFinite(double outL, double outR, StateParts parts) const {
  bool finite = IsFinite(outL) & IsFinite(outR) & IsFinite(meterValue);
  for (int s = 0; s < kNumSections; ++s) {
    if (parts & PartOf(s)) finite &= IsFinite(mSections[s].z1) & IsFinite(mSections[s].z2);
  }
  if (parts & kCellStage) {
    finite &= IsFinite(compCell.envelope) & IsFinite(limitCell.envelope);
    finite &= IsFinite(compCell.releaseCoef) & IsFinite(limitCell.releaseCoef);
    finite &= IsFinite(mCompRecoverySmoother.z) & IsFinite(mLimitRecoverySmoother.z);
  }
  return finite;
}

// Puts whatever became non-finite back to its constructed value, so one bad sample costs a
// short transient instead of silencing the instance for good.
void ProcessingChain::RecoverFromNonFinite(double& outL, double& outR, StateParts parts) {
  for (int s = 0; s < kNumSections; ++s) {
    FilterSection& section = mSections[s];
    if (!(parts & PartOf(s))) continue;
    if (!IsFinite(section.z1) || !IsFinite(section.z2)) section.z1 = section.z2 = 0.0;
  }
  if (parts & kCellStage) {
    for (compressor* cell : {&compCell, &limitCell}) {
      if (!IsFinite(cell->envelope)) {
        cell->envelope = 0.0;
        cell->holdCount = 0;
      }
      if (!IsFinite(cell->releaseCoef)) cell->setRelease(50.0);
    }
    for (ParamSmoother* s : {&mCompRecoverySmoother, &mLimitRecoverySmoother}) {
      if (!IsFinite(s->z)) s->z = 0.0f;
    }
    for (double* v : {&compRecoveryMs, &levelRecoveryMs}) {
      if (!IsFinite(*v)) *v = 0.0;
    }
  }
  if (!IsFinite(meterValue)) meterValue = 1.0;
  if (!IsFinite(outL)) outL = 0.0;
  if (!IsFinite(outR)) outR = 0.0;
}
