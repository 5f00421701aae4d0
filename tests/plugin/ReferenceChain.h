#pragma once
// A deliberately plain transcription of the effect's per-sample arithmetic, kept beside the tests
// as the yardstick for the real processing chain. Every value is computed where it is first
// needed and never remembered: the gain cells' time-constant coefficients with a power every
// sample, the filter coefficients every block, the meter's gain with its own exponential, and the
// non-finite recovery examines every state variable after every sample. It shares no code with
// the chain but the maths kernel's functions, which it calls one value at a time where the chain
// runs them over spans; so a speed-up of the chain that changes a single bit of output, meter or
// state shows up as a difference from this record.

#include "framework/NumericConversions.h"
#include "kernel/Maths.h"
#include "plugin/VelmoraParams.h"

#include <algorithm>
#include <cmath>

namespace reference {

struct Smoother {
  float a = 0.99f;
  float b = 1.0f - 0.99f;
  float z = 0.0f;
  float Advance(double target) {
    const float x = static_cast<float>(target);
    z = x * b + a * z;
    return z;
  }
};

struct Section {
  int kind = 0;
  double a0 = 1.0, a1 = 0.0, a2 = 0.0, b1 = 0.0, b2 = 0.0;
  double fc = 0.5, q = 0.707, gainDb = 0.0;
  double z1 = 0.0, z2 = 0.0;

  void Configure(int newKind, double newQ, double newGainDb, double hz, double rate) {
    kind = newKind;
    q = newQ;
    gainDb = newGainDb;
    fc = hz / rate;
    if (!(fc < 0.5)) fc = 0.499;
    const double K = kernel::Tan(3.141592653589793 * fc);
    const double V = kernel::PowTen(std::fabs(gainDb) / 20.0);
    const bool boost = gainDb >= 0.0;
    double n;
    if (kind == 1) {
      n = 1.0 / (1.0 + K / q + K * K);
      a0 = n;
      a1 = -2.0 * n;
      a2 = n;
      b1 = 2.0 * (K * K - 1.0) * n;
      b2 = (1.0 - K / q + K * K) * n;
    } else if (kind == 4 && boost) {
      n = 1.0 / (1.0 + K / q + K * K);
      a0 = (1.0 + V * K / q + K * K) * n;
      a1 = 2.0 * (K * K - 1.0) * n;
      a2 = (1.0 - V * K / q + K * K) * n;
      b1 = a1;
      b2 = (1.0 - K / q + K * K) * n;
    } else if (kind == 4) {
      n = 1.0 / (1.0 + V * K / q + K * K);
      a0 = (1.0 + K / q + K * K) * n;
      a1 = 2.0 * (K * K - 1.0) * n;
      a2 = (1.0 - K / q + K * K) * n;
      b1 = a1;
      b2 = (1.0 - V * K / q + K * K) * n;
    } else if (kind == 6 && boost) {
      n = 1.0 / (1.0 + K / q + K * K);
      a0 = (V + V * K / q + K * K) * n;
      a1 = 2.0 * (K * K - V) * n;
      a2 = (V - V * K / q + K * K) * n;
      b1 = 2.0 * (K * K - 1.0) * n;
      b2 = (1.0 - K / q + K * K) * n;
    } else if (kind == 6) {
      n = 1.0 / (V + V * K / q + K * K);
      a0 = (1.0 + K / q + K * K) * n;
      a1 = 2.0 * (K * K - 1.0) * n;
      a2 = (1.0 - K / q + K * K) * n;
      b1 = 2.0 * (K * K - V) * n;
      b2 = (V - V * K / q + K * K) * n;
    }
  }

  float Process(float in) {
    const double x = in;
    const double out = x * a0 + z1;
    z1 = x * a1 + z2 - b1 * out;
    z2 = x * a2 - b2 * out;
    return static_cast<float>(out);
  }
};

struct Cell {
  double attackCoef = 0.0, releaseCoef = 0.0, envelope = 0.0, sampleRate = 44100.0;
  int holdCount = 0, holdSamples = 0;
  double gainDb = 0.0, kneeFactor = 0.0, ratio = 4.0, threshold = 0.0;
  double kneeWidth = 0.0, kneeLow = 0.0, kneeHigh = 0.0, slope = 0.75;
  int hardLimit = 0;

  Cell() {
    attackCoef = Coefficient(5.0);
    releaseCoef = Coefficient(50.0);
  }
  double Coefficient(double ms) const { return kernel::PowHundredth(1.0 / (ms * sampleRate * 0.001)); }
  void Knee() {
    kneeWidth = threshold * kneeFactor * -1.0;
    kneeLow = threshold - 0.5 * kneeWidth;
    kneeHigh = threshold + 0.5 * kneeWidth;
  }

  double Linked(double a, double b) {
    const double v = a >= b ? std::fabs(a) : std::fabs(b);
    if (v > envelope) {
      envelope = (envelope - v) * attackCoef + v;
      holdCount = 0;
    } else if (holdCount < holdSamples) {
      ++holdCount;
    } else {
      envelope = (envelope - v) * releaseCoef + v;
    }
    const double e = kernel::Log(std::fabs(envelope)) * 8.685889638065037;
    slope = hardLimit ? 1.0 : 1.0 - 1.0 / ratio;
    if (kneeWidth > 0.0 && kneeLow < e && e < kneeHigh) {
      const double s = (e - kneeLow) / kneeWidth * 0.5 * slope;
      slope = s;
      gainDb = (kneeLow - e) * s;
      return gainDb;
    }
    const double g = (threshold - e) * slope;
    gainDb = g < 0.0 ? g : 0.0;
    return gainDb;
  }

  // The chain's per-sample settings of one cell.
  void Settle(double attackMs, Smoother& recovery, double recoveryMs, Smoother* ratioSmoother, double targetRatio,
              Smoother& thresholdSmoother, double targetThreshold, double knee) {
    attackCoef = Coefficient(attackMs);
    recovery.Advance(recoveryMs);
    releaseCoef = Coefficient(recovery.Advance(recoveryMs));
    holdSamples = TruncToInt(sampleRate * 0.0 / 1000.0);
    if (ratioSmoother) {
      if (ratioSmoother->Advance(targetRatio) != ratio) SetRatio(ratioSmoother->Advance(targetRatio));
    } else if (ratio != targetRatio) {
      SetRatio(targetRatio);
    }
    if (thresholdSmoother.Advance(targetThreshold) != threshold) {
      threshold = thresholdSmoother.Advance(targetThreshold);
      Knee();
    }
    if (kneeFactor != knee) {
      kneeFactor = knee;
      Knee();
    }
    hardLimit = 0;
    slope = 1.0 - 1.0 / ratio;
  }
  void SetRatio(double r) {
    ratio = r;
    Knee();
    slope = hardLimit ? 1.0 : 1.0 - 1.0 / r;
  }
};

inline double Colour(double x) {
  const double x3 = x * x * x;
  const double x4 = x3 * x;
  return x + 0.005623413251903491 * (kernel::Sin(x4) - (kernel::Tanh(x3) - kernel::Tanh(x4)));
}

inline double RecoveryMs(bool limiter, int step, double peak, double current) {
  static const double kComp[4] = {100, 400, 800, 1500};
  static const double kLimit[4] = {50, 100, 200, 800};
  if (step >= 0 && step < 4) return limiter ? kLimit[step] : kComp[step];
  if (step == 4) return 500.0 + 4500.0 * peak;
  if (step == 5) return 1000.0 + 6000.0 * peak;
  return current;
}

class Chain {
public:
  enum { kDetHighPass, kDetMid, kDetShelf, kDcL, kDcR, kToneL, kToneR, kSections };

  // steps: the live steps of all thirteen parameters (only 8 to 12 are read). withMeter: an
  // editor is attached, so the meter moves.
  void Process(const double* const* in, double* const* out, int frames, double rate, const DerivedValues& v,
               const int* steps, bool withMeter) {
    const double mix = v.mixSteps / 22.0;
    section[kDetHighPass].Configure(1, 0.707, 0.0, v.hpfHz, rate);
    section[kDetMid].Configure(4, 0.207, v.midDb, 1500.0, rate);
    section[kDetShelf].Configure(6, 0.207, v.highDb, v.hpfHz, rate);
    section[kDcL].Configure(1, 0.8, 0.0, 10.0, rate);
    section[kDcR].Configure(1, 0.8, 0.0, 10.0, rate);
    section[kToneL].Configure(4, 0.107, 0.3, 1500.0, rate);
    section[kToneR].Configure(4, 0.107, 0.3, 1500.0, rate);
    if (frames < 1) return;

    for (int i = 0; i < frames; ++i) {
      dcOffset = -dcOffset;
      const double inL = in[0][i], inR = in[1][i];
      mainL = Colour(section[kToneL].Process(section[kDcL].Process(static_cast<float>(inL)))) + dcOffset;
      mainR = Colour(section[kToneR].Process(section[kDcR].Process(static_cast<float>(inR)))) + dcOffset;
      if (steps[kParamExternalSidechain] == 0) {
        scL = Colour(mainL);
        scR = Colour(mainR);
      } else {
        scL = Colour(in[2][i] + dcOffset);
        scR = Colour(in[3][i] + dcOffset);
      }
      const double peak = std::max(std::fabs(scL), std::fabs(scR));
      compMs = RecoveryMs(false, steps[kParamCompressorRecoveryTime], peak, compMs);
      levelMs = RecoveryMs(true, steps[kParamLevelRecoveryTime], peak, levelMs);

      float d = static_cast<float>((scL + scR) * 0.5);
      d = section[kDetShelf].Process(section[kDetMid].Process(section[kDetHighPass].Process(d)));
      compGainDb = comp.Linked(d, d);
      comp.Settle(10.0, compRecovery, compMs, &ratio, v.ratioValue, compThreshold, v.thresholdDb, v.kneeValue);
      limGainDb = limit.Linked(scL, scR);
      limit.Settle(5.0, limitRecovery, levelMs, nullptr, 1000.0, limitThreshold, -2.0 * v.limitLevel, 0.3);

      const double gc = kernel::Exp(compGainDb * 0.1151292546497);
      double wetL = gc * mainL, wetR = gc * mainR;
      const double gl = kernel::Exp(limGainDb * 0.1151292546497);
      wetL = gl * wetL;
      wetR = gl * wetR;
      wetL = makeup.Advance(v.makeupGain) * wetL;
      wetR = makeup.Advance(v.makeupGain) * wetR;

      double outL, outR;
      if (steps[kParamBypass] == 0) {
        outL = inL - dcOffset;
        outR = inR - dcOffset;
      } else {
        const float k1 = mixer.Advance(mix);
        const float k2 = mixer.Advance(mix);
        outL = (wetL - dcOffset) * k1 + (1.0 - k2) * mainL;
        const float k3 = mixer.Advance(mix);
        const float k4 = mixer.Advance(mix);
        outR = (wetR - dcOffset) * k3 + (1.0 - k4) * mainR;
      }

      const double grLinear = kernel::Exp((steps[kParamGRSelect] == 0 ? compGainDb : limGainDb) * 0.1151292546497);
      if (withMeter) {
        const double c = kernel::Exp(-4.60517018599 / (rate * 0.3));
        double t = std::fabs(1.0 - grLinear);
        t = t > meterValue ? t * 1.0125 : t * 0.9875;
        meterValue = (meterValue - t) * c + t;
      }
      Recover(outL, outR);
      out[0][i] = outL;
      out[1][i] = outR;
    }
  }

  Section section[kSections];
  Cell comp, limit;
  double dcOffset = 1e-15, meterValue = 1.0;

private:
  // One bad sample costs a short transient: whatever became non-finite goes back to its
  // constructed value.
  void Recover(double& outL, double& outR) {
    auto bad = [](double x) { return !std::isfinite(x); };
    bool any = bad(outL) || bad(outR) || bad(meterValue) || bad(comp.envelope) || bad(limit.envelope) ||
               bad(comp.releaseCoef) || bad(limit.releaseCoef) || bad(compRecovery.z) || bad(limitRecovery.z);
    for (const Section& s : section) any = any || bad(s.z1) || bad(s.z2);
    if (!any) return;
    for (Section& s : section) {
      if (bad(s.z1) || bad(s.z2)) s.z1 = s.z2 = 0.0;
    }
    for (Cell* c : {&comp, &limit}) {
      if (bad(c->envelope)) {
        c->envelope = 0.0;
        c->holdCount = 0;
      }
      if (bad(c->releaseCoef)) c->releaseCoef = c->Coefficient(50.0);
    }
    for (Smoother* s : {&compRecovery, &limitRecovery}) {
      if (bad(s->z)) s->z = 0.0f;
    }
    for (double* x : {&mainL, &mainR, &scL, &scR, &compMs, &levelMs}) {
      if (bad(*x)) *x = 0.0;
    }
    if (bad(meterValue)) meterValue = 1.0;
    if (bad(outL)) outL = 0.0;
    if (bad(outR)) outR = 0.0;
  }

  Smoother compThreshold, compRecovery, limitThreshold, limitRecovery, makeup, ratio, mixer;
  double mainL = 0.0, mainR = 0.0, scL = 0.0, scR = 0.0, compMs = 0.0, levelMs = 0.0;
  double compGainDb = 0.0, limGainDb = 0.0;
};

}  // namespace reference
