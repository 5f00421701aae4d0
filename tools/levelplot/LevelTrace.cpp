#include "tools/levelplot/LevelTrace.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct WindowLevels {
  double sumSquares = 0.0;
  double peak = 0.0;

  void Add(double v) {
    sumSquares += v * v;
    const double a = std::fabs(v);
    if (a > peak) peak = a;
  }
};

// One pass over both signals; sample(buffer, frame, channel) reads either layout.
template <typename Buffer, typename Sample>
LevelTrace Measure(Buffer in, Buffer out, size_t frames, int channels, double sampleRate, double windowMs,
                   Sample sample) {
  LevelTrace trace;
  if (!in || !out || frames == 0 || channels <= 0 || !(sampleRate > 0.0) || !(windowMs > 0.0)) return trace;
  const double wanted = std::round(windowMs * 0.001 * sampleRate);
  const size_t windowFrames = wanted >= 1.0 ? static_cast<size_t>(wanted) : 1;

  trace.sampleRate = sampleRate;
  trace.windowSeconds = static_cast<double>(windowFrames) / sampleRate;
  trace.totalSeconds = static_cast<double>(frames) / sampleRate;
  const size_t windows = (frames + windowFrames - 1) / windowFrames;
  trace.inRmsDb.reserve(windows);
  trace.outRmsDb.reserve(windows);
  trace.inPeakDb.reserve(windows);
  trace.outPeakDb.reserve(windows);
  trace.gainChangeDb.reserve(windows);

  for (size_t start = 0; start < frames; start += windowFrames) {
    const size_t end = frames - start < windowFrames ? frames : start + windowFrames;
    WindowLevels inLevels, outLevels;
    for (size_t f = start; f < end; ++f)
      for (int c = 0; c < channels; ++c) {
        inLevels.Add(sample(in, f, c));
        outLevels.Add(sample(out, f, c));
      }
    const double count = static_cast<double>((end - start) * static_cast<size_t>(channels));
    const float inRms = LinearToDb(std::sqrt(inLevels.sumSquares / count));
    const float outRms = LinearToDb(std::sqrt(outLevels.sumSquares / count));
    trace.inRmsDb.push_back(inRms);
    trace.outRmsDb.push_back(outRms);
    trace.inPeakDb.push_back(LinearToDb(inLevels.peak));
    trace.outPeakDb.push_back(LinearToDb(outLevels.peak));
    trace.gainChangeDb.push_back(inRms >= kGainChangeFloorDb ? outRms - inRms
                                                             : std::numeric_limits<float>::quiet_NaN());
  }
  return trace;
}

}  // namespace

float LinearToDb(double linear) {
  if (!(linear > 0.0)) return kSilenceDb;
  const double db = 20.0 * std::log10(linear);
  return db > kSilenceDb ? static_cast<float>(db) : kSilenceDb;
}

LevelTrace ComputeLevelTrace(const float* in, const float* out, size_t frames, int channels, double sampleRate,
                             double windowMs) {
  const size_t stride = channels > 0 ? static_cast<size_t>(channels) : 0;
  return Measure(in, out, frames, channels, sampleRate, windowMs, [stride](const float* buffer, size_t f, int c) {
    return static_cast<double>(buffer[f * stride + static_cast<size_t>(c)]);
  });
}

LevelTrace ComputeLevelTrace(const double* const* in, const double* const* out, size_t frames, int channels,
                             double sampleRate, double windowMs) {
  // A planar buffer is only usable when every channel pointer is there.
  for (int c = 0; in && out && c < channels; ++c)
    if (!in[c] || !out[c]) return LevelTrace();
  return Measure(in, out, frames, channels, sampleRate, windowMs,
                 [](const double* const* buffer, size_t f, int c) { return buffer[c][f]; });
}

LevelTrace ComputeLevelTrace(const std::vector<std::vector<double>>& in, const std::vector<std::vector<double>>& out,
                             double sampleRate, double windowMs) {
  const size_t channels = std::min(in.size(), out.size());
  size_t frames = channels > 0 ? in[0].size() : 0;
  std::vector<const double*> inPtrs, outPtrs;
  for (size_t c = 0; c < channels; ++c) {
    frames = std::min({frames, in[c].size(), out[c].size()});
    inPtrs.push_back(in[c].data());
    outPtrs.push_back(out[c].data());
  }
  return ComputeLevelTrace(inPtrs.data(), outPtrs.data(), frames, static_cast<int>(channels), sampleRate, windowMs);
}
