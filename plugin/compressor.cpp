#include "compressor.h"

#include "Decibels.h"

#include <cmath>

compressor::compressor() {
  setup(0, 5.0, 50.0, 0.0, 44100.0);
}

double compressor::process(double x) {
  updateEnvelope(std::fabs(x));
  computeGain();
  return x * DbToGain(gainDb);
}

double compressor::processLinked(double a, double b) {
  updateEnvelope(a >= b ? std::fabs(a) : std::fabs(b));
  return computeGain();
}

double compressor::computeGain() {
  const double e = GainToDb(std::fabs(envelope));
  slope = hardLimit ? 1.0 : 1.0 - 1.0 / ratio;
  if (kneeWidth > 0.0 && kneeLow < e && e < kneeHigh) {
    // Quadratic knee, -slope (e - kneeLow)^2 / (2 kneeWidth); slope holds the knee's local
    // slope until the next update recomputes it.
    const double s = (e - kneeLow) / kneeWidth * 0.5 * slope;
    slope = s;
    gainDb = (kneeLow - e) * s;
    return gainDb;
  }
  const double g = (threshold - e) * slope;
  // Silence gives +inf x slope and an empty envelope can give NaN; neither may boost.
  gainDb = g < 0.0 ? g : 0.0;
  return gainDb;
}

void compressor::setRatio(double r) {
  ratio = r;
  recomputeKnee();
  slope = hardLimit ? 1.0 : 1.0 - 1.0 / r;
}

void compressor::setThreshold(double dB) {
  threshold = dB;
  recomputeKnee();
}

void compressor::setKnee(double factor) {
  kneeFactor = factor;
  recomputeKnee();
}

void compressor::setHardLimit(int32_t on) {
  hardLimit = on;
  slope = on ? 1.0 : 1.0 - 1.0 / ratio;
}

void compressor::recomputeKnee() {
  kneeWidth = threshold * kneeFactor * -1.0;
  kneeLow = threshold - 0.5 * kneeWidth;
  kneeHigh = threshold + 0.5 * kneeWidth;
}
