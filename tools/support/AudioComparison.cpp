#include "tools/support/AudioComparison.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora_host {

namespace {

constexpr std::size_t kBlock = 8192;

struct Block {
  std::vector<std::vector<double>> channels;
  std::vector<double*> pointers;
  explicit Block(int count) : channels(static_cast<std::size_t>(count), std::vector<double>(kBlock)) {
    for (auto& channel : channels) pointers.push_back(channel.data());
  }
};

}  // namespace

std::optional<AudioDifference> CompareAudio(AudioSource& a, AudioSource& b, double tolerance, std::string* error) {
  const int channels = a.Channels();
  Block blockA(channels), blockB(channels);
  AudioDifference d;
  double sumSquares = 0.0;
  bool doneA = false, doneB = false;
  for (std::size_t position = 0;; position += kBlock) {
    std::string failure;
    const std::size_t gotA = doneA ? 0 : a.Read(blockA.pointers.data(), kBlock, &failure);
    const std::size_t gotB = doneB || !failure.empty() ? 0 : b.Read(blockB.pointers.data(), kBlock, &failure);
    if (!failure.empty()) {
      *error = failure;
      return std::nullopt;
    }
    doneA = doneA || gotA < kBlock;
    doneB = doneB || gotB < kBlock;
    d.framesA += gotA;
    d.framesB += gotB;
    const std::size_t n = std::max(gotA, gotB);
    if (n == 0) break;
    for (int c = 0; c < channels; ++c) {
      std::vector<double>& x = blockA.channels[static_cast<std::size_t>(c)];
      std::vector<double>& y = blockB.channels[static_cast<std::size_t>(c)];
      std::fill(x.begin() + static_cast<std::ptrdiff_t>(gotA), x.begin() + static_cast<std::ptrdiff_t>(n), 0.0);
      std::fill(y.begin() + static_cast<std::ptrdiff_t>(gotB), y.begin() + static_cast<std::ptrdiff_t>(n), 0.0);
      for (std::size_t i = 0; i < n; ++i) {
        const double diff = std::fabs(x[i] - y[i]);
        sumSquares += diff * diff;
        if (diff > d.largest) {
          d.largest = diff;
          d.largestFrame = position + i;
          d.largestChannel = c;
        }
        // The first frame counts; within it, the first channel.
        if (diff > tolerance && (!d.hasFirst || position + i < d.firstFrame)) {
          d.hasFirst = true;
          d.firstFrame = position + i;
          d.firstChannel = c;
          d.firstA = x[i];
          d.firstB = y[i];
        }
      }
    }
  }
  const std::size_t frames = std::max(d.framesA, d.framesB);
  if (frames > 0 && channels > 0)
    d.rms = std::sqrt(sumSquares / static_cast<double>(frames * static_cast<std::size_t>(channels)));
  d.differs = d.hasFirst || d.framesA != d.framesB;
  return d;
}

}  // namespace velmora_host
