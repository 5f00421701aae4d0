// What a parameter's text entry lets through and what the committed text means, the same on
// every platform.

#include "framework/IParam.h"
#include "framework/graphics/TextEntryRules.h"

#include <gtest/gtest.h>

TEST(TextEntryRules, CharactersPassByTheParametersKind) {
  IParam integer, real, choice;
  integer.InitInt("Steps", 0, 10);
  real.InitDouble("Level", 0.0, -10.0, 10.0, 0.1);
  choice.InitEnum("Shape", 0, 3);
  for (char c : std::string("0123456789+-")) {
    EXPECT_TRUE(TextEntryAccepts(&integer, c)) << c;
    EXPECT_TRUE(TextEntryAccepts(&real, c)) << c;
    EXPECT_TRUE(TextEntryAccepts(&choice, c)) << c;
  }
  EXPECT_FALSE(TextEntryAccepts(&integer, '.'));
  EXPECT_TRUE(TextEntryAccepts(&real, '.'));
  for (char c : std::string("aZ ,e")) EXPECT_FALSE(TextEntryAccepts(&real, c)) << c;
  // Free text (no parameter) takes anything printable.
  EXPECT_TRUE(TextEntryAccepts(nullptr, 'a'));
  EXPECT_TRUE(TextEntryAccepts(nullptr, ' '));
  EXPECT_FALSE(TextEntryAccepts(nullptr, '\n'));
}

TEST(TextEntryRules, CommittedTextBecomesANormalisedValue) {
  IParam integer, negated, choice;
  integer.InitInt("Steps", 0, 10);
  negated.InitDouble("Cut", 0.0, 0.0, 20.0, 1.0);
  negated.SetNegateDisplay(true);  // shown as -20 .. 0
  choice.InitEnum("Shape", 0, 3);
  choice.SetDisplayText(0, "Soft");
  choice.SetDisplayText(1, "Medium");
  choice.SetDisplayText(2, "Hard");

  EXPECT_DOUBLE_EQ(TextEntryNormalizedValue(integer, "4"), 0.4);
  EXPECT_DOUBLE_EQ(TextEntryNormalizedValue(integer, "25"), 1.0) << "clamped to the range";
  EXPECT_DOUBLE_EQ(TextEntryNormalizedValue(integer, "-3"), 0.0);
  EXPECT_DOUBLE_EQ(TextEntryNormalizedValue(integer, ""), 0.0);
  EXPECT_DOUBLE_EQ(TextEntryNormalizedValue(negated, "-5"), 0.25) << "typed as shown";
  EXPECT_DOUBLE_EQ(TextEntryNormalizedValue(choice, "Hard"), 1.0);
  EXPECT_DOUBLE_EQ(TextEntryNormalizedValue(choice, "Medium"), 0.5);
  EXPECT_DOUBLE_EQ(TextEntryNormalizedValue(choice, "hard"), 0.0) << "no text matches: the first value";
}
