#pragma once
// Velmora's factory presets: starting points for common jobs, each a full set of steps. The build
// turns this table into standard .vstpreset files through the module itself (the plug-in writes
// its own state, the preset generator only sets the steps), and velmora-host lists them by name.
// Header-only, like the step tables it builds on.

#include "plugin/VelmoraSteps.h"

#include <array>
#include <initializer_list>

using PresetSteps = std::array<int, kNumParams>;

struct PresetSetting {
  EParams param;
  int step;
};

// The default steps with the given ones changed.
constexpr PresetSteps DefaultStepsWith(std::initializer_list<PresetSetting> settings) {
  PresetSteps steps{};
  for (int i = 0; i < kNumParams; ++i) steps[i] = kParamDefinitions[i].defaultStep;
  for (const PresetSetting& s : settings) steps[s.param] = s.step;
  return steps;
}

struct FactoryPreset {
  const char* name;         // what hosts show; also the file name, "<name>.vstpreset"
  const char* description;  // one line: what it is for and how it is set
  PresetSteps steps;
};

// Limit Level never goes above -8 dB and make-up gain comes after the limiter, so presets that
// should not hear the limiter leave it at -8 dB and let the make-up gain restore the level. The
// limiter has no look-ahead: the first milliseconds of a transient pass it, and the limiting
// presets keep their make-up gain low enough for that.
inline constexpr FactoryPreset kFactoryPresets[] = {
    {"Gentle Bus Glue",
     "1.5:1 from -16 dB, release following the level, lows kept out of the detector, +2 dB: holds a mix together",
     DefaultStepsWith({{kParamCompressorThreshold, 7},
                       {kParamRatio, 0},
                       {kParamCompressorRecoveryTime, 4},
                       {kParamHighPassFilter, 2},
                       {kParamGain, 1}})},
    {"Vocal Leveller",
     "3:1 from -24 dB, 400 ms release, detector tuned to the voice (160 Hz high-pass, +3 dB mids), +6 dB",
     DefaultStepsWith({{kParamCompressorThreshold, 3},
                       {kParamRatio, 2},
                       {kParamCompressorRecoveryTime, 1},
                       {kParamHighPassFilter, 3},
                       {kParamMid, 3},
                       {kParamGain, 3}})},
    {"Drum Smash (Parallel)",
     "6:1 from -30 dB, 100 ms release, +12 dB, mixed in at half: lifts the body of the kit under its dry hits",
     DefaultStepsWith({{kParamCompressorThreshold, 0},
                       {kParamRatio, 4},
                       {kParamCompressorRecoveryTime, 0},
                       {kParamGain, 6},
                       {kParamMix, 11}})},
    {"Master Limiter",
     "compressor off, limiter at -16 dB with 100 ms release, +6 dB: a mix peaking at -3 dBFS gains about 3 LU",
     DefaultStepsWith({{kParamCompressorThreshold, 15},
                       {kParamLimitLevel, 14},
                       {kParamLevelRecoveryTime, 1},
                       {kParamGain, 3},
                       {kParamGRSelect, 1}})},
    {"Bass Tamer",
     "4:1 from -22 dB, 400 ms release, 80 Hz detector high-pass so the lowest notes do not pump the rest, +4 dB",
     DefaultStepsWith({{kParamCompressorThreshold, 4},
                       {kParamRatio, 3},
                       {kParamCompressorRecoveryTime, 1},
                       {kParamHighPassFilter, 2},
                       {kParamGain, 2}})},
    {"De-Harsh", "2:1 from -20 dB, 100 ms release, detector above 360 Hz with +6 dB mids and +4.5 dB highs, +2 dB",
     DefaultStepsWith({{kParamCompressorThreshold, 5},
                       {kParamRatio, 1},
                       {kParamCompressorRecoveryTime, 0},
                       {kParamHighPassFilter, 4},
                       {kParamMid, 4},
                       {kParamHigh, 4},
                       {kParamGain, 1}})},
    {"Sidechain Ducking",
     "keyed by the sidechain input: 4:1 from -30 dB, 100 ms release; feed it the kick or the voice to duck under",
     DefaultStepsWith({{kParamExternalSidechain, 1},
                       {kParamCompressorThreshold, 0},
                       {kParamRatio, 3},
                       {kParamCompressorRecoveryTime, 0}})},
    {"Limiter Only",
     "compressor off, limiter at -10 dB with 100 ms release, +2 dB: takes the tops off peaks and little else",
     DefaultStepsWith({{kParamCompressorThreshold, 15},
                       {kParamLimitLevel, 20},
                       {kParamLevelRecoveryTime, 1},
                       {kParamGain, 1},
                       {kParamGRSelect, 1}})},
};
