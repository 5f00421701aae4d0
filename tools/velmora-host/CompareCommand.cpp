// `compare A B`: a null test of two audio files.
#include "tools/velmora-host/Commands.h"

#include "tools/support/AudioComparison.h"
#include "tools/support/AudioFile.h"
#include "tools/support/HostError.h"
#include "tools/support/JsonText.h"
#include "tools/support/LevelStats.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace velmora_host {

namespace {

std::string Seconds(std::size_t frame, double rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f s", static_cast<double>(frame) / rate);
  return text;
}

}  // namespace

int RunCompare(const CompareOptions& options, bool json) {
  std::string error;
  const std::unique_ptr<AudioFileReader> openedA = OrThrow(AudioFileReader::Open(options.first, &error), error);
  const std::unique_ptr<AudioFileReader> openedB = OrThrow(AudioFileReader::Open(options.second, &error), error);
  AudioFileReader& a = *openedA;
  AudioFileReader& b = *openedB;
  if (a.Channels() != b.Channels())
    throw HostError("cannot compare " + options.first + " (" + std::to_string(a.Channels()) + " channels) with " +
                    options.second + " (" + std::to_string(b.Channels()) + " channels)");
  if (a.SampleRate() != b.SampleRate())
    throw HostError("cannot compare " + options.first + " (" + std::to_string(std::lround(a.SampleRate())) +
                    " Hz) with " + options.second + " (" + std::to_string(std::lround(b.SampleRate())) + " Hz)");
  const double rate = a.SampleRate();
  const AudioDifference d = OrThrow(CompareAudio(a, b, options.tolerance, &error), error).value();
  // A file cut short compares as shorter; that is worth a word of its own.
  std::vector<std::string> warnings;
  for (const AudioFileReader* file : {&a, &b})
    if (file->Truncated()) warnings.push_back(file->TruncationText());
  for (const std::string& warning : warnings) std::fprintf(stderr, "velmora-host: warning: %s\n", warning.c_str());

  if (json) {
    Json first = nullptr;
    if (d.hasFirst)
      first = {{"frame", d.firstFrame}, {"channel", d.firstChannel + 1}, {"a", d.firstA}, {"b", d.firstB}};
    const Json document{{"a", options.first},
                        {"b", options.second},
                        {"channels", a.Channels()},
                        {"sample_rate", std::lround(rate)},
                        {"frames_a", d.framesA},
                        {"frames_b", d.framesB},
                        {"largest_difference", d.largest},
                        {"largest_difference_dbfs", Decibels(ToDbfs(d.largest))},
                        {"largest_difference_frame", d.largestFrame},
                        {"largest_difference_channel", d.largestChannel + 1},
                        {"difference_rms_dbfs", Decibels(ToDbfs(d.rms))},
                        {"first_difference", first},
                        {"tolerance", options.tolerance},
                        {"identical", !d.differs},
                        {"warnings", warnings}};
    std::fputs(JsonText(document).c_str(), stdout);
    return d.differs ? 1 : 0;
  }

  std::printf("compare %s and %s: %d ch at %ld Hz\n", options.first.c_str(), options.second.c_str(), a.Channels(),
              std::lround(rate));
  if (d.framesA != d.framesB)
    std::printf("  lengths differ       %zu and %zu frames (the shorter one continues as silence)\n", d.framesA,
                d.framesB);
  if (d.largest > 0.0)
    std::printf("  largest difference   %.9g (%s dBFS) at frame %zu (%s), channel %d\n", d.largest,
                FormatDb(ToDbfs(d.largest)).c_str(), d.largestFrame, Seconds(d.largestFrame, rate).c_str(),
                d.largestChannel + 1);
  else
    std::printf("  largest difference   none\n");
  std::printf("  difference RMS       %s dBFS\n", FormatDb(ToDbfs(d.rms)).c_str());
  if (d.hasFirst)
    std::printf("  first difference     frame %zu (%s), channel %d: %.9g against %.9g\n", d.firstFrame,
                Seconds(d.firstFrame, rate).c_str(), d.firstChannel + 1, d.firstA, d.firstB);
  std::printf("%s within a tolerance of %g\n", d.differs ? "different" : "identical", options.tolerance);
  return d.differs ? 1 : 0;
}

}  // namespace velmora_host
