#include "envFollower.h"

#include "kernel/Maths.h"

#include <cmath>

envFollower::envFollower() {
  // Called from the constructor, so this is always the follower's own setup.
  envFollower::setup(0, 5.0, 50.0, 0.0, 44100.0);
}

void envFollower::setup(int mode, double attackMs, double releaseMs, double holdMs, double rate) {
  detectMode = mode;
  sampleRate = rate;
  setAttack(attackMs);
  setRelease(releaseMs);
  envelope = 0.0;
  holdCount = 0;
  holdSamples = TruncToInt(holdMs / 1000.0 * rate);
}

double envFollower::process(double x) {
  updateEnvelope(std::fabs(x));
  return 0.0;
}

double envFollower::coefficient(double ms) const { return kernel::PowHundredth(1.0 / (ms * sampleRate * 0.001)); }
