#include "tools/velmora-host/VelmoraMeanings.h"

#include "plugin/VelmoraSteps.h"

#include <cmath>
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

bool inRange(int id, int step) { return step >= 0 && step <= kParamDefinitions[id].maxStep; }

// Steps 0 to 3 of both recovery times are fixed; steps 4 and 5 grow with the sidechain's
// instantaneous peak p (0..1).
std::string recovery(int step, const double (&fixedMs)[4]) {
  if (InTable(fixedMs, step)) return format("%g ms", fixedMs[step]);
  if (InTable(kPeakRecovery, step - 4)) {
    const PeakRecovery& r = kPeakRecovery[step - 4];
    return format("%g + %g x peak ms (%g .. %g ms)", r.baseMs, r.msPerPeak, r.baseMs, r.baseMs + r.msPerPeak);
  }
  return {};
}

}  // namespace

std::string velmoraStepMeaning(int id, int step) {
  const bool onOff = step == 0 || step == 1;
  switch (id) {
    case kParamCompressorThreshold:
      if (InTable(kThresholdDb, step)) return format("%+.0f dB threshold", kThresholdDb[step]);
      break;
    case kParamLimitLevel:
      if (inRange(id, step)) return format("%+.0f dB limit", -2.0 * LimitLevel(step));
      break;
    case kParamGain:
      if (inRange(id, step)) return format("%+.0f dB make-up", 20.0 * std::log10(MakeupGain(step)));
      break;
    case kParamMix:
      if (inRange(id, step)) return format("%.1f %% wet", 100.0 * step / kParamDefinitions[id].maxStep);
      break;
    case kParamRatio:
      if (InTable(kRatio, step))
        return format("ratio %g:1", kRatio[step]) + format(", knee %g x threshold", kKnee[step]);
      break;
    case kParamHigh:
      if (InTable(kHighDb, step)) return format("%+g dB high shelf", kHighDb[step]);
      break;
    case kParamMid:
      if (InTable(kMidDb, step)) return format("%+g dB at 1500 Hz", kMidDb[step]);
      break;
    case kParamHighPassFilter:
      if (InTable(kHighPassHz, step)) return format("%g Hz high-pass", kHighPassHz[step]);
      break;
    case kParamCompressorRecoveryTime: return recovery(step, kCompressorRecoveryMs);
    case kParamLevelRecoveryTime: return recovery(step, kLevelRecoveryMs);
    case kParamBypass:
      if (onOff) return step ? "processed" : "input passed through";
      break;
    case kParamExternalSidechain:
      if (onOff) return step ? "detectors fed by the aux input" : "detectors fed by the main input";
      break;
    case kParamGRSelect:
      if (onOff) return step ? "meter shows limiter" : "meter shows compressor";
      break;
    default:
      break;
  }
  return {};
}

}  // namespace velmora_host
