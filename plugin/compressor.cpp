#include "compressor.h"

compressor::compressor() { setup(0, 5.0, 50.0, 0.0, 44100.0); }

double compressor::process(double x) {
  updateEnvelope(std::fabs(x));
  computeGain();
  return x * DbToGain(gainDb);
}
