#pragma once
// Gain computer on top of the envelope follower: threshold, ratio and a quadratic soft knee
// whose width is a fraction of the threshold's magnitude (so a 0 dB threshold is a hard knee).
// Used twice by the effect: once as the compressor, once with ratio 1000 as the limiter.

#include "envFollower.h"

#include <cstdint>

class compressor : public envFollower {
public:
  compressor();

  // Envelope update with |x|, then the gain computer; answers x scaled by the computed gain.
  double process(double x) override;
  // Envelope update with the level of the larger signed input (not the larger magnitude:
  // a = -0.9, b = 0.1 gives 0.1), then the gain computer; answers the gain in dB (<= 0).
  double processLinked(double a, double b);

  void setRatio(double r);
  void setThreshold(double dB);
  void setKnee(double factor);
  void setHardLimit(int32_t on);

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
  void recomputeKnee();
  double computeGain();
};

