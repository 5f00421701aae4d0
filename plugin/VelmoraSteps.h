#pragma once
// Velmora's thirteen stepped parameters and what each step stands for, in one header-only home:
// the plug-in builds its parameters and derived values from it, the editor layout binds controls
// by these indices, and the command-line host (which links no plug-in code) explains steps with
// the same tables. Every parameter is an integer counting steps from 0.

#include "kernel/Maths.h"

// Parameter indices: host ids, control bindings and positions in the state chunk.
enum EParams {
  kParamCompressorThreshold = 0,
  kParamLimitLevel,
  kParamGain,
  kParamMix,
  kParamRatio,
  kParamHigh,
  kParamMid,
  kParamHighPassFilter,
  kParamCompressorRecoveryTime,
  kParamLevelRecoveryTime,
  kParamBypass,
  kParamExternalSidechain,
  kParamGRSelect,
  kNumParams
};

// What the plug-in hands to IParam::InitInt(name, defaultStep, maxStep) for each index.
struct ParamDefinition {
  const char* name;
  int maxStep;
  int defaultStep;
};

inline constexpr ParamDefinition kParamDefinitions[kNumParams] = {
    {"Compressor Threshold", 15, 15},
    {"Limit Level", 22, 22},
    {"Gain", 10, 0},
    {"Mix", 22, 22},
    {"Ratio", 4, 2},
    {"High", 4, 2},
    {"Mid", 4, 2},
    {"High Pass Filter", 4, 0},
    {"Compressor Recovery Time", 5, 1},
    {"Level Recovery Time", 5, 1},
    {"Bypass", 1, 1},              // 1 = processed, 0 = input passed through
    {"External Sidechain", 1, 0},  // 1 = detectors fed by the aux input
    {"GR Select", 1, 0},           // 1 = the meter shows the limiter
};

// "Compressor Threshold": -30 dB to 0 dB in 2 dB steps.
inline constexpr double kThresholdDb[16] = {-30, -28, -26, -24, -22, -20, -18, -16, -14, -12, -10, -8, -6, -4, -2, 0};

// "Limit Level" as a half-dB count: the limiter threshold is -2 x LimitLevel(step) dB, -30 dB at
// step 0 rising by 1 dB per step to -8 dB at step 22.
constexpr double LimitLevel(int step) { return 15.0 - 0.5 * step; }

// "Gain": make-up factor 10^(step / 10), 0 dB to +20 dB in 2 dB steps.
inline double MakeupGain(int step) { return kernel::PowTen(step / 10.0); }

// "Mix": the wet share is step / maxStep.

// "Ratio": ratio : 1 and the knee width as a fraction of the threshold's magnitude.
inline constexpr double kRatio[5] = {1.5, 2, 3, 4, 6};
inline constexpr double kKnee[5] = {2, 1.5, 1, 0.8, 0.6};

// The compressor detector's equaliser: "High" (high shelf dB), "Mid" (1500 Hz peak dB) and "High
// Pass Filter" (corner Hz, also the shelf's corner).
inline constexpr double kHighDb[5] = {-7, -4.5, -1.5, 1.5, 4.5};
inline constexpr double kMidDb[5] = {-8, -5, -2, 3, 6};
inline constexpr double kHighPassHz[5] = {20, 50, 80, 160, 360};

// "Compressor Recovery Time" and "Level Recovery Time": four fixed release times (steps 0 to 3),
// then two that grow with the sidechain's instantaneous peak p (steps 4 and 5, the same for both).
inline constexpr double kCompressorRecoveryMs[4] = {100, 400, 800, 1500};
inline constexpr double kLevelRecoveryMs[4] = {50, 100, 200, 800};
struct PeakRecovery {
  double baseMs;
  double msPerPeak;  // release = baseMs + msPerPeak x p
};
inline constexpr PeakRecovery kPeakRecovery[2] = {{500, 4500}, {1000, 6000}};

// The Velmora tables have this many entries, so a step indexes them only inside the range.
template <class T, int N>
constexpr bool InTable(const T (&)[N], int step) {
  return step >= 0 && step < N;
}
