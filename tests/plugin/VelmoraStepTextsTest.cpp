#include "plugin/VelmoraStepTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string StepText(int param, int step, int size = 32) {
  std::vector<char> text(size > 0 ? size : 1, 'x');
  const bool named = VelmoraStepText(param, step, text.data(), size);
  if (size > 0) {
    EXPECT_EQ(named, text[0] != 0) << "param " << param << " step " << step;
    return text.data();
  }
  EXPECT_FALSE(named);
  return {};
}

// Every step, as the panel's scales print it.
const std::vector<std::vector<const char*>> kTexts = {
    {"-30 dB", "-28 dB", "-26 dB", "-24 dB", "-22 dB", "-20 dB", "-18 dB", "-16 dB", "-14 dB", "-12 dB", "-10 dB",
     "-8 dB", "-6 dB", "-4 dB", "-2 dB", "0 dB"},
    {"-30 dB", "-29 dB", "-28 dB", "-27 dB", "-26 dB", "-25 dB", "-24 dB", "-23 dB",
     "-22 dB", "-21 dB", "-20 dB", "-19 dB", "-18 dB", "-17 dB", "-16 dB", "-15 dB",
     "-14 dB", "-13 dB", "-12 dB", "-11 dB", "-10 dB", "-9 dB",  "-8 dB"},
    {"0 dB", "+2 dB", "+4 dB", "+6 dB", "+8 dB", "+10 dB", "+12 dB", "+14 dB", "+16 dB", "+18 dB", "+20 dB"},
    {"0 %",  "5 %",  "9 %",  "14 %", "18 %", "23 %", "27 %", "32 %", "36 %", "41 %", "45 %", "50 %",
     "55 %", "59 %", "64 %", "68 %", "73 %", "77 %", "82 %", "86 %", "91 %", "95 %", "100 %"},
    {"1.5:1", "2:1", "3:1", "4:1", "6:1"},
    {"-7 dB", "-4.5 dB", "-1.5 dB", "+1.5 dB", "+4.5 dB"},
    {"-8 dB", "-5 dB", "-2 dB", "+3 dB", "+6 dB"},
    {"20 Hz", "50 Hz", "80 Hz", "160 Hz", "360 Hz"},
    {"100 ms", "400 ms", "800 ms", "1500 ms", "Auto 1", "Auto 2"},
    {"50 ms", "100 ms", "200 ms", "800 ms", "Auto 1", "Auto 2"},
    {"Passed through", "Processed"},
    {"Main input", "Aux input"},
    {"Compressor", "Limiter"},
};

TEST(VelmoraStepTexts, EveryStepReadsAsThePanelPrintsItAndReadsBack) {
  ASSERT_EQ(kTexts.size(), static_cast<size_t>(kNumParams));
  for (int p = 0; p < kNumParams; ++p) {
    ASSERT_EQ(kTexts[p].size(), static_cast<size_t>(kParamDefinitions[p].maxStep + 1)) << p;
    for (int s = 0; s <= kParamDefinitions[p].maxStep; ++s) {
      const std::string text = StepText(p, s);
      EXPECT_EQ(text, kTexts[p][s]) << "param " << p << " step " << s;
      int step = -1;
      EXPECT_TRUE(VelmoraStepFromText(p, text.c_str(), &step)) << text;
      EXPECT_EQ(step, s) << "param " << p << " text " << text;
      step = -1;
      EXPECT_TRUE(VelmoraStepFromText(p, std::to_string(s).c_str(), &step)) << "bare step " << s;
      EXPECT_EQ(step, s);
    }
    // Outside the table: no text, and the buffer says so.
    EXPECT_EQ(StepText(p, -1), "");
    EXPECT_EQ(StepText(p, kParamDefinitions[p].maxStep + 1), "");
  }
  EXPECT_EQ(StepText(-1, 0), "");
  EXPECT_EQ(StepText(kNumParams, 0), "");
}

TEST(VelmoraStepTexts, ATextThatDoesNotFitIsNotCutShort) {
  EXPECT_EQ(StepText(kParamBypass, 0, 15), "Passed through");  // 14 characters and the terminator
  EXPECT_EQ(StepText(kParamBypass, 0, 14), "");
  EXPECT_EQ(StepText(kParamGain, 10, 7), "+20 dB");
  EXPECT_EQ(StepText(kParamGain, 10, 6), "");
  EXPECT_EQ(StepText(kParamGain, 10, 0), "");
  EXPECT_FALSE(VelmoraStepText(kParamGain, 10, nullptr, 32));
}

TEST(VelmoraStepTexts, TypedTexts) {
  constexpr int kNone = -1;
  struct Case {
    int param;
    const char* text;
    int step;  // kNone: names no step
  } cases[] = {
      // The unit form, with blanks and case free; a missing "+" and extra zeros still name the step.
      {kParamCompressorThreshold, "-24 dB", 3},
      {kParamCompressorThreshold, "-24dB", 3},
      {kParamCompressorThreshold, "  - 24 DB ", 3},
      {kParamCompressorThreshold, "-24.0 dB", 3},
      {kParamCompressorThreshold, "-0 dB", 15},
      {kParamGain, "4 dB", 2},
      {kParamGain, "+4dB", 2},
      {kParamHigh, "1.5 dB", 3},
      {kParamHigh, "+1,5 dB", 3},  // a decimal comma
      {kParamHigh, "-4.5db", 1},
      {kParamRatio, "4:1", 3},
      {kParamRatio, "4 : 1", 3},
      {kParamRatio, "1.50:1", 0},
      {kParamHighPassFilter, "80hz", 2},
      {kParamCompressorRecoveryTime, "1500ms", 3},
      {kParamCompressorRecoveryTime, "auto 1", 4},
      {kParamLevelRecoveryTime, "AUTO2", 5},
      // A quantity names the step that prints as it does, to the decimals the step's text shows.
      {kParamMix, "50%", 11},
      {kParamMix, "31.8 %", 7},  // 7 / 22 is 31.82 %, printed "32 %"
      {kParamMix, "32.4 %", 7},
      {kParamMix, "33 %", kNone},
      {kParamCompressorThreshold, "-24.4 dB", 3},
      {kParamCompressorThreshold, "-25 dB", kNone},  // between two steps
      {kParamHigh, "-4.54 dB", 1},
      {kParamHigh, "-5 dB", kNone},
      {kParamLimitLevel, "-31 dB", kNone},  // outside the range
      // The wrong unit, a unit alone, or no text at all.
      {kParamHighPassFilter, "80 ms", kNone},
      {kParamCompressorThreshold, "-24 Hz", kNone},
      {kParamCompressorThreshold, "dB", kNone},
      {kParamRatio, "4:2", kNone},
      {kParamMix, "", kNone},
      {kParamMix, "   ", kNone},
      {kParamMix, "-", kNone},
      {kParamMix, "nan", kNone},
      {kParamMix, "inf", kNone},
      {kParamMix, "1e3", kNone},
      {kParamMix, "50 % of it", kNone},
      {kParamMix, "5000000000000000000000 %", kNone},
      // A bare number is always a step number, and a whole one within the steps.
      {kParamRatio, "4", 4},  // step 4 is 6:1, not 4:1
      {kParamRatio, " +2 ", 2},
      {kParamRatio, "2.0", 2},
      {kParamRatio, "2.5", kNone},
      {kParamRatio, "5", kNone},
      {kParamCompressorThreshold, "-24", kNone},
      {kParamGain, "0", 0},
      // The switches' words and short forms; "on" and "off" only where they cannot mislead.
      {kParamBypass, "processed", 1},
      {kParamBypass, "Passed Through", 0},
      {kParamBypass, "in", 1},
      {kParamBypass, "OUT", 0},
      {kParamBypass, "on", kNone},  // on the host's "Bypass", on means the opposite
      {kParamBypass, "off", kNone},
      {kParamExternalSidechain, "aux input", 1},
      {kParamExternalSidechain, "on", 1},
      {kParamExternalSidechain, "Off", 0},
      {kParamGRSelect, "Limiter", 1},
      {kParamGRSelect, "comp", 0},
      {kParamGRSelect, "compressorx", kNone},
      {kParamCompressorRecoveryTime, "auto", kNone},
      {kParamCompressorRecoveryTime, "auto 3", kNone},
  };
  for (const Case& c : cases) {
    int step = 99;
    const bool named = VelmoraStepFromText(c.param, c.text, &step);
    EXPECT_EQ(named, c.step != kNone) << "param " << c.param << " \"" << c.text << "\"";
    EXPECT_EQ(step, named ? c.step : 99) << "param " << c.param << " \"" << c.text << "\"";
  }

  int step = 99;
  EXPECT_FALSE(VelmoraStepFromText(kParamMix, nullptr, &step));
  EXPECT_FALSE(VelmoraStepFromText(-1, "3", &step));
  EXPECT_FALSE(VelmoraStepFromText(kNumParams, "3", &step));
  EXPECT_FALSE(VelmoraStepFromText(kParamMix, std::string(200, '1').c_str(), &step));
  EXPECT_EQ(step, 99);
  EXPECT_FALSE(VelmoraStepFromText(kParamMix, "3", nullptr));
}

TEST(VelmoraStepTexts, NotesSayWhatTheTextLeavesOut) {
  struct Case {
    int param, step;
    const char* note;  // "" for none
  } cases[] = {
      {kParamRatio, 0, "knee 2 x threshold"},
      {kParamRatio, 3, "knee 0.8 x threshold"},
      {kParamCompressorRecoveryTime, 4, "500 ms + 4500 ms x peak"},
      {kParamLevelRecoveryTime, 5, "1000 ms + 6000 ms x peak"},
      {kParamCompressorRecoveryTime, 3, ""},
      {kParamCompressorThreshold, 3, ""},
      {kParamBypass, 1, ""},
      {kParamRatio, 5, ""},
  };
  for (const Case& c : cases) {
    char note[32] = "x";
    EXPECT_EQ(VelmoraStepNote(c.param, c.step, note, sizeof note), c.note[0] != 0);
    EXPECT_STREQ(note, c.note) << "param " << c.param << " step " << c.step;
  }
}

// The parameter model rounds a normalised value half up to the step grid; a normalised value's
// text must name that step.
TEST(VelmoraStepTexts, TheStepOfANormalisedValue) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    int param;
    double normalized;
    int step;
  } cases[] = {
      {kParamMix, 0.5, 11},      {kParamMix, 0.52, 11},   {kParamMix, 0.53, 12},
      {kParamRatio, 0.125, 1},   {kParamRatio, 0.374, 1}, {kParamRatio, 0.375, 2},
      {kParamGain, 0.25, 3},     {kParamGain, 0.249, 2},  {kParamBypass, 0.5, 1},
      {kParamBypass, 0.4999, 0}, {kParamMix, 1.0, 22},    {kParamMix, 1e300, 22},
      {kParamMix, -0.2, 0},      {kParamMix, nan, 0},     {kParamCompressorThreshold, 0.97, 15},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VelmoraStepOfNormalized(c.param, c.normalized), c.step) << c.param << " " << c.normalized;
}

}  // namespace
