#include "framework/IParam.h"
#include "framework/NumericConversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Display(const IParam& p, double v) {
  char out[IParam::kDisplayBufferLen];
  p.GetDisplayForHost(v, out);
  return out;
}

IParam& Level(IParam& p) {
  p.InitInt("Limit Level", 22, 22);
  return p;
}

// A plug-in's step table in small: steps 0..2 of the parameter keyed 7 are "low", "mid", "high";
// any other key names nothing, so a wrong key shows.
const char* const kFixtureSteps[] = {"low", "mid", "high"};
bool FixtureStepText(int key, int step, char* text, int size) {
  if (key != 7 || step < 0 || step > 2) return false;
  std::snprintf(text, static_cast<size_t>(size), "%s", kFixtureSteps[step]);
  return true;
}
bool FixtureStepFromText(int key, const char* text, int* step) {
  for (int s = 0; s < 3 && key == 7; ++s)
    if (std::strcmp(text, kFixtureSteps[s]) == 0) {
      *step = s;
      return true;
    }
  return false;
}

IParam& Named(IParam& p, int key = 7) {
  p.InitInt("Range", 1, 2);
  p.SetStepTexts(StepTexts{FixtureStepText, FixtureStepFromText}, key);
  return p;
}
}  // namespace

TEST(IParam, ConstructionValues) {
  IParam p;
  EXPECT_EQ(p.Type(), IParam::kTypeNone);
  EXPECT_EQ(p.Value(), 0.0);
  EXPECT_EQ(p.Min(), 0.0);
  EXPECT_EQ(p.Max(), 1.0);
  EXPECT_EQ(p.Step(), 1.0);
  EXPECT_EQ(p.Shape(), 1.0);
  EXPECT_TRUE(p.IsAutomatable());
  EXPECT_FALSE(p.NegateDisplay());
  EXPECT_STREQ(p.Name(), "");
}

TEST(IParam, InitIntStoresDefaultUnclampedAndWidensEmptyRange) {
  IParam p;
  p.InitInt("Gain", 15, 15);
  EXPECT_EQ(p.Type(), IParam::kTypeInt);
  EXPECT_EQ(p.Value(), 15.0);
  EXPECT_EQ(p.Default(), 15.0);
  EXPECT_EQ(p.Max(), 15.0);
  EXPECT_EQ(p.DisplayPrecision(), 0);

  IParam zero;
  zero.InitInt("Zero", 0, 0);
  EXPECT_EQ(zero.Min(), 0.0);
  EXPECT_EQ(zero.Max(), 1.0);

  IParam outside;
  outside.InitInt("Outside", 7, 3);  // the default is not clamped into the range
  EXPECT_EQ(outside.Value(), 7.0);
  EXPECT_EQ(outside.Default(), 7.0);
}

TEST(IParam, InitKeepsATypeAlreadySet) {
  IParam p;
  p.InitDouble("Freq", 1.0, 0.0, 2.0, 0.01);
  p.InitInt("Freq", 1, 2);
  EXPECT_EQ(p.Type(), IParam::kTypeDouble);
}

TEST(IParam, LongNameIsCutToTheField) {
  IParam p;
  const std::string longName(100, 'x');
  p.InitInt(longName.c_str(), 0, 1);
  EXPECT_EQ(std::strlen(p.Name()), static_cast<size_t>(IParam::kTextLen - 1));
  p.SetDisplayText(1, longName.c_str());
  EXPECT_EQ(std::strlen(p.GetDisplayText(1)), static_cast<size_t>(IParam::kTextLen - 1));
}

TEST(IParam, SetNormalizedRoundsHalfUpToTheStepAndCapsAtMax) {
  struct Case {
    double normalized;
    double expected;
  };
  const Case cases[] = {
      {0.0, 0.0},   {0.5, 11.0},       {0.52, 11.0},  // 11.44 + 0.5 floors to 11
      {0.53, 12.0},                                   // 11.66 rounds up
      {1.0, 22.0},  {1.0000001, 22.0}, {7.0, 22.0},
      {kInf, 22.0}, {-0.1, -2.0},  // below min: on the grid, not raised to min
  };
  for (const Case& c : cases) {
    IParam p;
    Level(p).SetNormalized(c.normalized);
    EXPECT_EQ(p.Value(), c.expected) << "normalized " << c.normalized;
    EXPECT_EQ(p.PlainForNormalized(c.normalized), c.expected) << "normalized " << c.normalized;
  }
  IParam p;
  EXPECT_TRUE(std::isnan(Level(p).PlainForNormalized(kNaN)));
  Level(p).SetNormalized(0.5);
  EXPECT_EQ(Display(p, p.Value()), "11");
}

TEST(IParam, SetNormalizedIgnoresNaN) {
  IParam p;
  Level(p).SetNormalized(0.5);
  p.SetNormalized(kNaN);
  EXPECT_EQ(p.Value(), 11.0);
}

TEST(IParam, ContinuousParameterKeepsTheUnroundedValue) {
  IParam p;
  p.InitDouble("Freq", 0.0, 0.0, 22.0, 1.0);
  p.SetNormalized(0.52);
  EXPECT_DOUBLE_EQ(p.Value(), 11.44);
}

TEST(IParam, NormalizedMappingClampsThePlainValue) {
  IParam p;
  Level(p);
  EXPECT_EQ(p.ToNormalized(-3.0), 0.0);
  EXPECT_EQ(p.ToNormalized(40.0), 1.0);
  EXPECT_EQ(p.ToNormalized(11.0), 0.5);
  EXPECT_EQ(p.ToNormalized(kNaN), 0.0);
  EXPECT_EQ(p.FromNormalized(0.5), 11.0);
  EXPECT_EQ(p.FromNormalized(2.0), 44.0);  // not clamped
}

TEST(IParam, SetClampedKeepsTheRangeWithoutRounding) {
  struct Case {
    double in;
    double expected;
  };
  const Case cases[] = {{11.4, 11.4}, {99.0, 22.0}, {-5.0, 0.0}, {kInf, 22.0}, {-kInf, 0.0}, {kNaN, 0.0}};
  for (const Case& c : cases) {
    IParam p;
    Level(p).SetClamped(c.in);
    EXPECT_EQ(p.Value(), c.expected) << "in " << c.in;
  }
}

TEST(IParam, DisplayTruncatesAndNegates) {
  IParam p;
  Level(p);
  EXPECT_EQ(Display(p, 2.9), "2");
  EXPECT_EQ(Display(p, -2.9), "-2");
  p.SetNegateDisplay(true);
  EXPECT_EQ(Display(p, 2.9), "-2");
}

TEST(IParam, DisplayIsDefinedForEveryDouble) {
  IParam p;
  Level(p);
  EXPECT_EQ(Display(p, 1e300), "2147483647");
  EXPECT_EQ(Display(p, -1e300), "-2147483648");
  EXPECT_EQ(Display(p, kNaN), "0");
  EXPECT_EQ(Display(p, -kInf), "-2147483648");

  IParam fine;
  fine.InitDouble("Fine", 0.0, 0.0, 1.0, 0.01);
  EXPECT_EQ(fine.DisplayPrecision(), 2);
  EXPECT_EQ(Display(fine, 0.256), "0.26");
  const std::string huge = Display(fine, 1e300);  // 300+ digits, cut to the buffer
  EXPECT_EQ(huge.size(), static_cast<size_t>(IParam::kDisplayBufferLen - 1));
}

TEST(IParam, DisplayTextCoversItsWholeIntegerStep) {
  IParam p;
  Level(p);
  p.SetDisplayText(3, "three");
  p.SetDisplayText(5, "");
  p.SetDisplayText(3, "second three");  // first match wins
  EXPECT_EQ(Display(p, 3.0), "three");
  EXPECT_EQ(Display(p, 3.999), "three");
  EXPECT_EQ(Display(p, 4.0), "4");
  EXPECT_EQ(Display(p, 5.0), "5");  // an empty text is ignored
  p.SetNegateDisplay(true);
  EXPECT_EQ(Display(p, 3.5), "three");  // looked up before negation
  EXPECT_STREQ(p.GetDisplayText(7), "");
  EXPECT_EQ(p.NDisplayTexts(), 3);
}

TEST(IParam, LabelForHostIsEmptyWhenTheValueHasADisplayText) {
  IParam p;
  p.InitDouble("Freq", 3.0, 0.0, 10.0, 1.0, "Hz");
  EXPECT_STREQ(p.GetLabelForHost(), "Hz");
  p.SetDisplayText(3, "three");
  EXPECT_STREQ(p.GetLabelForHost(), "");
  p.SetClamped(4.0);
  EXPECT_STREQ(p.GetLabelForHost(), "Hz");
}

// A value shows the step it plays: the step its value is on, truncated as the audio reads it.
TEST(IParam, StepTextsNameTheStepAValueIsOn) {
  IParam p;
  Named(p);
  EXPECT_TRUE(p.HasStepTexts());
  EXPECT_EQ(Display(p, 0.0), "low");
  EXPECT_EQ(Display(p, 1.9), "mid");
  EXPECT_EQ(Display(p, 2.0), "high");
  EXPECT_EQ(Display(p, p.PlainForNormalized(0.76)), "high");  // 1.52 is stored as 2
  EXPECT_EQ(Display(p, p.PlainForNormalized(0.74)), "mid");
  EXPECT_EQ(Display(p, -1.0), "-1");  // a step the table does not name shows its number
  EXPECT_EQ(Display(p, 3.0), "3");
  EXPECT_STREQ(p.GetLabelForHost(), "");

  p.SetDisplayText(2, "top");  // a display text still comes first
  EXPECT_EQ(Display(p, 2.0), "top");
  EXPECT_EQ(Display(p, 1.0), "mid");

  IParam otherKey;
  EXPECT_EQ(Display(Named(otherKey, 3), 1.0), "1");  // the functions are asked with the given key

  IParam continuous;
  continuous.InitDouble("Freq", 1.0, 0.0, 2.0, 1.0, "Hz");
  continuous.SetStepTexts(StepTexts{FixtureStepText, FixtureStepFromText}, 7);
  EXPECT_EQ(Display(continuous, 1.0), "1");  // a continuous value has no steps to name
  EXPECT_STREQ(continuous.GetLabelForHost(), "Hz");
}

TEST(IParam, StepFromText) {
  IParam p;
  Named(p);
  double plain = -5.0;
  EXPECT_TRUE(p.StepFromText("high", &plain));
  EXPECT_EQ(plain, 2.0);
  EXPECT_FALSE(p.StepFromText("loud", &plain));
  EXPECT_EQ(plain, 2.0);

  IParam plainNumbers;
  Level(plainNumbers);
  EXPECT_FALSE(plainNumbers.HasStepTexts());
  EXPECT_FALSE(plainNumbers.StepFromText("3", &plain));
}

TEST(IParam, IntIsDefinedForEveryValue) {
  IParam p;
  Level(p);
  p.SetNormalized(-1e300);
  EXPECT_EQ(p.Int(), std::numeric_limits<int>::min());
  p.SetClamped(21.9);
  EXPECT_EQ(p.Int(), 21);
}

// Parameter values become steps through TruncToInt, every sample on the audio thread; it must be
// defined for every double.
TEST(NumericConversions, TruncToIntIsDefinedForEveryDouble) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max(), kMin = std::numeric_limits<int32_t>::min();
  const struct {
    double v;
    int32_t expected;
  } cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {-0.0, 0},
      {4.9e-324, 0},
      {2147483647.9, kMax},
      {2147483648.0, kMax},
      {1e300, kMax},
      {std::numeric_limits<double>::infinity(), kMax},
      {-2147483648.9, kMin},
      {-2147483649.0, kMin},
      {-std::numeric_limits<double>::infinity(), kMin},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {-std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(TruncToInt(c.v), c.expected) << c.v;
}
