#pragma once
// Audio held by the host between file and plug-in: planar double-precision channels at one rate.
#include <cstddef>
#include <vector>

namespace velmora_host {

struct AudioData {
  double sampleRate = 44100.0;
  std::vector<std::vector<double>> channels;

  std::size_t ChannelCount() const { return channels.size(); }
  std::size_t FrameCount() const { return channels.empty() ? 0 : channels.front().size(); }

  static AudioData Silent(std::size_t channelCount, std::size_t frameCount, double sampleRate) {
    AudioData audio;
    audio.sampleRate = sampleRate;
    audio.channels.assign(channelCount, std::vector<double>(frameCount, 0.0));
    return audio;
  }
};

}  // namespace velmora_host
