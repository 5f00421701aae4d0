#pragma once
// Peak envelope follower with separate attack and release times and an optional hold.
// Times are 99 % settling times: after `ms` milliseconds of samples the distance to the
// target has shrunk to 1 %.

#include "framework/NumericConversions.h"
#include "plugin/SameBits.h"

#include <cstdint>

class envFollower {
public:
  envFollower();
  // Virtual because the class has virtual operations; the plug-in never deletes a cell through
  // this type, but nothing stops a future caller from doing so.
  virtual ~envFollower() = default;

  // mode 0 (the only one defined): the level of a sample is its absolute value.
  virtual void setup(int mode, double attackMs, double releaseMs, double holdMs, double rate);
  // One envelope update with level |x|. The follower produces no signal and answers 0.
  virtual double process(double x);

  // The processing chain sets both times before every sample, nearly always to the time it set
  // before; the power is only evaluated when the time or the rate differs from the last one.
  void setAttack(double ms) { attackCoef = mAttackMemo.Coefficient(*this, ms); }
  void setRelease(double ms) { releaseCoef = mReleaseMemo.Coefficient(*this, ms); }
  // Truncated toward zero; defined for every input (NaN gives no hold, huge values saturate).
  void setHold(double ms) { holdSamples = TruncToInt(sampleRate * ms / 1000.0); }

  // Whether the setter of the same name would leave its field exactly as it is.
  bool attackIs(double ms) const { return mAttackMemo.Holds(*this, ms, attackCoef); }
  bool releaseIs(double ms) const { return mReleaseMemo.Holds(*this, ms, releaseCoef); }
  bool holdIs(double ms) const { return holdSamples == TruncToInt(sampleRate * ms / 1000.0); }

  // One-pole coefficient that settles to 99 % in ms milliseconds at sampleRate.
  double coefficient(double ms) const;

  double attackCoef = 0.0;
  double releaseCoef = 0.0;
  double envelope = 0.0;
  double sampleRate = 44100.0;
  int32_t holdCount = 0;
  int32_t holdSamples = 0;
  int32_t detectMode = 0;

private:
  // The last coefficient computed, with the time and rate it was computed from (compared as
  // bits, so the remembered value is exactly what coefficient() would answer again).
  class CoefficientMemo {
  public:
    double Coefficient(const envFollower& follower, double ms) {
      if (!mValid || !SameBits(ms, mMs) || !SameBits(follower.sampleRate, mRate)) {
        mMs = ms;
        mRate = follower.sampleRate;
        mCoef = follower.coefficient(ms);
        mValid = true;
      }
      return mCoef;
    }
    // Whether coef is what Coefficient(follower, ms) would answer, without computing it.
    bool Holds(const envFollower& follower, double ms, double coef) const {
      return mValid && SameBits(ms, mMs) && SameBits(follower.sampleRate, mRate) && SameBits(coef, mCoef);
    }

  private:
    double mMs = 0.0, mRate = 0.0, mCoef = 0.0;
    bool mValid = false;
  };

  CoefficientMemo mAttackMemo, mReleaseMemo;

protected:
  // The shared update; a level equal to the envelope takes the release path.
  void updateEnvelope(double level) {
    if (level > envelope) {
      envelope = (envelope - level) * attackCoef + level;
      holdCount = 0;
    } else if (holdCount < holdSamples) {
      ++holdCount;
    } else {
      envelope = (envelope - level) * releaseCoef + level;
    }
  }
};
