#pragma once
// Short-term levels of a processor's input and output over time, window by window, and the gain
// change between them: the numbers behind a level plot. Free of any plug-in type, so a host can
// measure what came back from a module as easily as the plug-in's own tools.

#include <cstddef>
#include <vector>

// Level reported for a window of digital silence (instead of minus infinity).
constexpr float kSilenceDb = -150.0f;
// Below this input RMS a window's gain change is not a number: a ratio of two near-silences
// says nothing about the processor.
constexpr float kGainChangeFloorDb = -60.0f;

struct LevelTrace {
  double sampleRate = 0.0;
  double windowSeconds = 0.0;  // every window but possibly the last, which holds what is left
  double totalSeconds = 0.0;   // the length of the measured audio
  // One entry per window, in dBFS (full scale = 1.0), all channels pooled: the RMS over every
  // sample of every channel, and the largest absolute sample.
  std::vector<float> inRmsDb, outRmsDb;
  std::vector<float> inPeakDb, outPeakDb;
  // outRmsDb - inRmsDb, or NaN where the input RMS is below kGainChangeFloorDb.
  std::vector<float> gainChangeDb;

  size_t WindowCount() const { return inRmsDb.size(); }
  // Start time of window i in seconds.
  double WindowStart(size_t i) const { return static_cast<double>(i) * windowSeconds; }
};

// Interleaved samples: frames x channels values each, input and output alike. An empty trace
// (no windows) for no frames, no channels, a rate or window that is not positive, or a missing
// buffer.
LevelTrace ComputeLevelTrace(const float* in, const float* out, size_t frames, int channels, double sampleRate,
                             double windowMs = 10.0);
// Planar samples: channels pointers, each to frames values.
LevelTrace ComputeLevelTrace(const double* const* in, const double* const* out, size_t frames, int channels,
                             double sampleRate, double windowMs = 10.0);

// Planar channels as a host keeps them (one vector per channel). The channels and frames both
// signals have in common are measured.
LevelTrace ComputeLevelTrace(const std::vector<std::vector<double>>& in, const std::vector<std::vector<double>>& out,
                             double sampleRate, double windowMs = 10.0);

// 20 log10(linear), kSilenceDb for zero (and anything that would fall below it).
float LinearToDb(double linear);
