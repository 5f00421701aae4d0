#pragma once
// The physical values the processing chain reads, derived from the parameters' steps
// (VelmoraSteps.h): parameters 0 to 7 are turned into DerivedValues whenever they change;
// parameters 8 to 12 are read as live steps by the processing chain every sample.

#include "plugin/VelmoraSteps.h"

// Physical values of parameters 0 to 7. Starts at the values of the default steps.
struct DerivedValues {
  double thresholdDb = 0.0;  // compressor threshold
  double limitLevel = 4.0;   // half-dB count: the limiter threshold is -2 x limitLevel dB
  double makeupGain = 1.0;   // linear
  double mixSteps = 22.0;    // wet share in 22nds
  double ratioValue = 3.0;   // ratio : 1
  double kneeValue = 1.0;    // knee width as a fraction of the threshold's magnitude
  double highDb = -1.5;      // detector high shelf
  double midDb = -2.0;       // detector 1500 Hz peak
  double hpfHz = 20.0;       // detector high-pass, also the shelf's corner
};

// Recomputes the derived value(s) of paramIdx for the given step (the parameter's value
// truncated). A step outside the parameter's table, and any parameter without a derived value,
// leave `values` unchanged. Answers whether paramIdx has a derived value at all.
bool ApplyParamStep(DerivedValues& values, int paramIdx, int step);

// Release time in ms for a recovery step, from that parameter's fixed times; steps 4 and 5 grow
// with the sidechain's instantaneous peak. A step outside the table answers `current`. Inline: the
// processing chain asks twice per sample.
inline double RecoveryMs(const double (&fixedMs)[4], int step, double peak, double current) {
  if (InTable(fixedMs, step)) return fixedMs[step];
  if (InTable(kPeakRecovery, step - 4)) {
    const PeakRecovery& r = kPeakRecovery[step - 4];
    return r.baseMs + r.msPerPeak * peak;
  }
  return current;
}

// Release times in ms for a "Compressor Recovery Time" / "Level Recovery Time" step.
inline double CompressorRecoveryMs(int step, double peak, double current) {
  return RecoveryMs(kCompressorRecoveryMs, step, peak, current);
}
inline double LevelRecoveryMs(int step, double peak, double current) {
  return RecoveryMs(kLevelRecoveryMs, step, peak, current);
}
