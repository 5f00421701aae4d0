#include "tools/velmora-host/VelmoraMeanings.h"

#include <cstdarg>
#include <cstdio>

namespace velmora_host {
namespace {

__attribute__((format(printf, 1, 2))) std::string format(const char* pattern, ...) {
  char text[64];
  va_list args;
  va_start(args, pattern);
  std::vsnprintf(text, sizeof text, pattern, args);
  va_end(args);
  return text;
}

// Steps 4 and 5 of both recovery times grow with the sidechain's instantaneous peak p (0..1).
std::string recovery(int step, const std::array<int, 4>& fixedMs) {
  if (step >= 0 && step < 4) return format("%d ms", fixedMs[static_cast<std::size_t>(step)]);
  if (step == 4) return "500 + 4500 x peak ms (500 .. 5000 ms)";
  if (step == 5) return "1000 + 6000 x peak ms (1000 .. 7000 ms)";
  return {};
}

}  // namespace

std::string velmoraStepMeaning(int id, int step) {
  static constexpr double kRatio[] = {1.5, 2, 3, 4, 6};
  static constexpr double kKnee[] = {2, 1.5, 1, 0.8, 0.6};
  static constexpr double kHighDb[] = {-7, -4.5, -1.5, 1.5, 4.5};
  static constexpr double kMidDb[] = {-8, -5, -2, 3, 6};
  static constexpr double kHpfHz[] = {20, 50, 80, 160, 360};
  const bool fiveChoices = step >= 0 && step <= 4;
  const bool onOff = step == 0 || step == 1;

  switch (id) {
    case 0:  // Compressor Threshold: -30 dB .. 0 dB in 2 dB steps
      if (step >= 0 && step <= 15) return format("%+.0f dB threshold", -30.0 + 2.0 * step);
      break;
    case 1:  // Limit Level: -30 dB .. -8 dB in 1 dB steps
      if (step >= 0 && step <= 22) return format("%+.0f dB limit", -30.0 + step);
      break;
    case 2:  // Gain: make-up 0 .. +20 dB in 2 dB steps
      if (step >= 0 && step <= 10) return format("%+.0f dB make-up", 2.0 * step);
      break;
    case 3:  // Mix: wet share step / 22
      if (step >= 0 && step <= 22) return format("%.1f %% wet", 100.0 * step / 22.0);
      break;
    case 4:
      if (fiveChoices)
        return format("ratio %g:1", kRatio[step]) + format(", knee %g x threshold", kKnee[step]);
      break;
    case 5:
      if (fiveChoices) return format("%+g dB high shelf", kHighDb[step]);
      break;
    case 6:
      if (fiveChoices) return format("%+g dB at 1500 Hz", kMidDb[step]);
      break;
    case 7:
      if (fiveChoices) return format("%g Hz high-pass", kHpfHz[step]);
      break;
    case 8:
      return recovery(step, {100, 400, 800, 1500});
    case 9:
      return recovery(step, {50, 100, 200, 800});
    case 10:
      if (onOff) return step ? "processed" : "input passed through";
      break;
    case 11:
      if (onOff) return step ? "detectors fed by the aux input" : "detectors fed by the main input";
      break;
    case 12:
      if (onOff) return step ? "meter shows limiter" : "meter shows compressor";
      break;
    default:
      break;
  }
  return {};
}

}  // namespace velmora_host
