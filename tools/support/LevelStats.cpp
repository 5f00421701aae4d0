#include "tools/support/LevelStats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace velmora_host {
namespace {

double PowerOfWindow(const AudioData& audio, std::size_t start, std::size_t length) {
  double sum = 0.0;
  for (const auto& channel : audio.channels)
    for (std::size_t i = start; i < start + length; ++i) sum += channel[i] * channel[i];
  return sum / static_cast<double>(length * audio.ChannelCount());
}

}  // namespace

std::vector<Levels> MeasureChannels(const AudioData& audio) {
  std::vector<Levels> result;
  for (const auto& channel : audio.channels) {
    Levels levels;
    double sum = 0.0;
    for (double x : channel) {
      levels.peak = std::max(levels.peak, std::fabs(x));
      sum += x * x;
    }
    if (!channel.empty()) levels.rms = std::sqrt(sum / static_cast<double>(channel.size()));
    result.push_back(levels);
  }
  return result;
}

Levels MeasureOverall(const AudioData& audio) {
  Levels overall;
  double meanSquare = 0.0;
  for (const Levels& levels : MeasureChannels(audio)) {
    overall.peak = std::max(overall.peak, levels.peak);
    meanSquare += levels.rms * levels.rms;
  }
  if (audio.ChannelCount() > 0) overall.rms = std::sqrt(meanSquare / static_cast<double>(audio.ChannelCount()));
  return overall;
}

double ToDbfs(double linear) {
  if (linear <= 0.0) return -std::numeric_limits<double>::infinity();
  return 20.0 * std::log10(linear);
}

std::string FormatDb(double db, int width) {
  char text[32];
  if (std::isinf(db) && db < 0)
    std::snprintf(text, sizeof text, "%*s", width, "-inf");
  else
    std::snprintf(text, sizeof text, "%*.2f", width, db);
  return text;
}

double EstimateMaxGainReductionDb(const AudioData& input, const AudioData& output, double makeupDb) {
  const std::size_t window = std::max<std::size_t>(1, static_cast<std::size_t>(input.sampleRate * 0.01));
  const std::size_t frames = std::min(input.FrameCount(), output.FrameCount());
  if (input.ChannelCount() == 0 || output.ChannelCount() == 0) return 0.0;
  const double floorPower = std::pow(10.0, -50.0 / 10.0);
  double largest = 0.0;
  for (std::size_t start = 0; start + window <= frames; start += window) {
    const double in = PowerOfWindow(input, start, window);
    if (in < floorPower) continue;
    const double out = PowerOfWindow(output, start, window);
    const double drop = 10.0 * std::log10(in) + makeupDb - (out > 0.0 ? 10.0 * std::log10(out) : -300.0);
    largest = std::max(largest, drop);
  }
  return largest;
}

}  // namespace velmora_host
