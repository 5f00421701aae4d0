#include "plugin/ParamSmoother.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

namespace {

TEST(ParamSmoother, AdvancesInSinglePrecision) {
  ParamSmoother s;
  EXPECT_EQ(s.b, 1.0f - 0.99f);
  EXPECT_NE(s.b, 0.01f);
  static_assert(std::is_same_v<decltype(s.Advance(1.0)), float>);

  // The target is rounded to single precision first, then every step stays in float.
  const double target = 1.0 / 3.0;
  float expected = 0.0f;
  for (int i = 0; i < 5; ++i) {
    const float t = static_cast<float>(target);
    expected = t * (1.0f - 0.99f) + 0.99f * expected;
    EXPECT_EQ(s.Advance(target), expected);
  }
  EXPECT_EQ(s.z, expected);
}

TEST(ParamSmoother, KeepsNinetyNinePercentOfTheDistancePerAdvance) {
  ParamSmoother s;
  // 459 advances leave 1 % of the distance (0.99^459 ~ 0.0099).
  float z = 0.0f;
  for (int i = 0; i < 459; ++i) z = s.Advance(10.0);
  EXPECT_NEAR(z, 9.9, 0.02);
}

}  // namespace
