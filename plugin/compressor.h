#pragma once
// Gain computer on top of the envelope follower: threshold, ratio and a quadratic soft knee
// whose width is a fraction of the threshold's magnitude (so a 0 dB threshold is a hard knee).
// Used twice by the effect: once as the compressor, once with ratio 1000 as the limiter.

#include "envFollower.h"
#include "plugin/Decibels.h"
#include "plugin/SameBits.h"

#include <cmath>
#include <cstdint>

// What turns an envelope level into a gain at one sample: the cell's threshold, knee and slope at
// that moment. The processing chain takes it per sample, so the logarithms of a span's envelopes
// can be computed together before the gains.
struct GainLaw {
  double threshold, kneeWidth, kneeLow, kneeHigh, slope;

  // The gain in dB (<= 0 on the straight line) for an envelope of e dBFS; `kneeSlope` receives
  // the knee's local slope when e lies inside the knee, and is left alone otherwise.
  double GainDb(double e, double& kneeSlope) const {
    if (kneeWidth > 0.0 && kneeLow < e && e < kneeHigh) {
      // Quadratic knee, -slope (e - kneeLow)^2 / (2 kneeWidth).
      const double s = (e - kneeLow) / kneeWidth * 0.5 * slope;
      kneeSlope = s;
      return (kneeLow - e) * s;
    }
    const double g = (threshold - e) * slope;
    // Silence gives +inf x slope and an empty envelope can give NaN; neither may boost.
    return g < 0.0 ? g : 0.0;
  }
};

class compressor : public envFollower {
public:
  compressor();

  // Envelope update with |x|, then the gain computer; answers x scaled by the computed gain.
  double process(double x) override;
  // Envelope update with the level of the larger signed input (not the larger magnitude:
  // a = -0.9, b = 0.1 gives 0.1), then the gain computer; answers the gain in dB (<= 0).
  // Inline: the processing chain calls it twice per sample.
  double processLinked(double a, double b) {
    trackLinked(a, b);
    return computeGain();
  }
  // processLinked in two halves: the envelope update, and the gain computer given the envelope's
  // level in dB (GainToDb(|envelope|)) and the law in force when the envelope was updated.
  void trackLinked(double a, double b) { updateEnvelope(a >= b ? std::fabs(a) : std::fabs(b)); }
  GainLaw gainLaw() { return {threshold, kneeWidth, kneeLow, kneeHigh, hardLimit ? 1.0 : linearSlope()}; }
  double applyGainLaw(const GainLaw& law, double envelopeDb) {
    slope = law.slope;
    gainDb = law.GainDb(envelopeDb, slope);
    return gainDb;
  }

  void setRatio(double r) {
    ratio = r;
    recomputeKnee();
    slope = hardLimit ? 1.0 : linearSlope();
  }
  void setThreshold(double dB) {
    threshold = dB;
    recomputeKnee();
  }
  void setKnee(double factor) {
    kneeFactor = factor;
    recomputeKnee();
  }
  void setHardLimit(int32_t on) {
    hardLimit = on;
    slope = on ? 1.0 : linearSlope();
  }

  double gainDb = 0.0;
  double kneeFactor = 0.0;
  double ratio = 4.0;
  double threshold = 0.0;
  double kneeWidth = 0.0;
  double kneeLow = 0.0;
  double kneeHigh = 0.0;
  double slope = 0.75;
  int32_t hardLimit = 0;

private:
  void recomputeKnee() {
    kneeWidth = threshold * kneeFactor * -1.0;
    kneeLow = threshold - 0.5 * kneeWidth;
    kneeHigh = threshold + 0.5 * kneeWidth;
  }

  // Inside the knee, slope holds the knee's local slope until the next update recomputes it.
  double computeGain() { return applyGainLaw(gainLaw(), GainToDb(std::fabs(envelope))); }

  // 1 - 1 / ratio, needed on every update and by every setter, divided out only when the ratio
  // differs (as bits) from the one it was last divided out for.
  double linearSlope() {
    if (!SameBits(ratio, mSlopeRatio)) {
      mSlopeRatio = ratio;
      mLinearSlope = 1.0 - 1.0 / ratio;
    }
    return mLinearSlope;
  }

  double mSlopeRatio = 4.0;
  double mLinearSlope = 0.75;  // 1 - 1 / 4
};
