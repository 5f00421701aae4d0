#include "framework/GrowableArray.h"
#include "framework/StateChunk.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

TEST(StateChunk, FirstSmallAppendAllocatesOneBlockShortOfAPage) {
  StateChunk c;
  const double v = 1.5;
  EXPECT_EQ(c.Append(&v, 8), 8);
  EXPECT_EQ(c.Capacity(), 4000);
  for (int i = 1; i < 13; ++i) c.Append(&v, 8);
  EXPECT_EQ(c.Size(), 104);
  EXPECT_EQ(c.Capacity(), 4000);
}

TEST(StateChunk, GrowthFigures) {
  // capacity = floor((n + g + 96) / 4096) * 4096 - 96, g = n / 2 rounded down to pages, 4096 .. 4 MiB
  struct Case {
    int size;
    int capacity;
  };
  const Case cases[] = {
      {4000, 4000},          // exactly full: no growth
      {4001, 8096},          // g = 4096
      {10000, 12192},        // g = 5000 -> 4096
      {100000, 147360},      // g = 50000 -> 49152
      {20000000, 24190880},  // g held at 4 MiB
  };
  for (const Case& k : cases) {
    StateChunk c;
    const char b = 1;
    c.Append(&b, 1);
    ASSERT_NE(c.Resize(k.size), nullptr);
    EXPECT_EQ(c.Size(), k.size);
    EXPECT_EQ(c.Capacity(), k.capacity) << "size " << k.size;
  }
}

TEST(StateChunk, SmallQuantumGrowsByHalfTheSize) {
  StateChunk c(16);
  c.Resize(100);
  EXPECT_EQ(c.Capacity(), 150);
  c.Resize(80);  // above the shrink limit min(75, 150 - 64)
  EXPECT_EQ(c.Capacity(), 150);
  c.Resize(4);  // below it: 4 + max(2, 16)
  EXPECT_EQ(c.Capacity(), 20);
}

TEST(StateChunk, ShrinksOnlyWhenAllowedAndWellBelowCapacity) {
  StateChunk c;
  c.Resize(100000);
  ASSERT_EQ(c.Capacity(), 147360);
  c.Resize(50000, false);
  EXPECT_EQ(c.Capacity(), 147360);
  c.Resize(100000);
  c.Resize(80000, true);  // above the limit min(73680, 147360 - 16384)
  EXPECT_EQ(c.Capacity(), 147360);
  c.Resize(50000, true);  // g = 25000 -> 24576
  EXPECT_EQ(c.Capacity(), 73632);
  EXPECT_EQ(c.Resize(0), nullptr);
  EXPECT_EQ(c.Capacity(), 0);
  EXPECT_EQ(c.Bytes(), nullptr);
}

TEST(StateChunk, ContentsSurviveGrowth) {
  StateChunk c;
  for (int i = 0; i < 3000; ++i) c.Append(&i, 4);
  ASSERT_EQ(c.Size(), 12000);
  int v = -1;
  EXPECT_EQ(c.Read(&v, 4, 4 * 2999), 12000);
  EXPECT_EQ(v, 2999);
}

TEST(StateChunk, ReadPastTheEndLeavesTheDestination) {
  StateChunk c;
  const double v = 2.0;
  c.Append(&v, 8);
  double out = 7.0;
  EXPECT_EQ(c.Read(&out, 8, 1), -1);
  EXPECT_EQ(c.Read(&out, 8, -8), -1);
  EXPECT_EQ(out, 7.0);
  EXPECT_EQ(c.Read(&out, 8, 0), 8);
  EXPECT_EQ(out, 2.0);
}

TEST(StateChunk, ImpossibleGrowthStoresNothing) {
  StateChunk c;
  const double v = 3.0;
  c.Append(&v, 8);
  EXPECT_EQ(c.Append(&v, INT_MAX), 8);          // the size would overflow
  EXPECT_EQ(c.Resize(INT_MAX - 100), nullptr);  // the capacity would overflow
  EXPECT_EQ(c.Size(), 8);
  EXPECT_EQ(c.Capacity(), 4000);
  double out = 0.0;
  EXPECT_EQ(c.Read(&out, 8, 0), 8);
  EXPECT_EQ(out, 3.0);
}

TEST(GrowableArray, ResizeZeroesNewElementsAndAtIsBounded) {
  GrowableArray<double> a;
  ASSERT_TRUE(a.Resize(3));
  a.Fill(1.0);
  ASSERT_TRUE(a.Resize(5));
  EXPECT_EQ(a.Data()[2], 1.0);
  EXPECT_EQ(a.Data()[4], 0.0);
  EXPECT_EQ(a.At(5), nullptr);
  EXPECT_EQ(a.At(-1), nullptr);
  a.Insert(0, 9.0);
  EXPECT_EQ(a.Data()[0], 9.0);
  EXPECT_EQ(a.Count(), 6);
  EXPECT_EQ(a.Chunk().Capacity(), 4000);  // 48 bytes, one block
}
