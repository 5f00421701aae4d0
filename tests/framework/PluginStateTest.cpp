#include "TestPlug.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {
void AppendLE(StateChunk& chunk, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  uint8_t bytes[8];
  for (int b = 0; b < 8; ++b) bytes[b] = static_cast<uint8_t>(bits >> (8 * b));
  chunk.Append(bytes, 8);
}

std::unique_ptr<StateChunk> ChunkOf(const std::vector<double>& values) {
  auto chunk = std::make_unique<StateChunk>();
  for (double v : values) AppendLE(*chunk, v);
  return chunk;
}

std::vector<double> Values(const IPlugBase& plug) {
  std::vector<double> v;
  for (int i = 0; i < plug.NParams(); ++i) v.push_back(plug.GetParam(i)->Value());
  return v;
}

const std::vector<double> kDefaults = {15, 22, 0, 22, 2, 2, 2, 0, 1, 1, 1, 0, 0};
std::vector<int> AllIndices() { return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}; }
}  // namespace

TEST(PluginState, StateIsThirteenLittleEndianDoublesAppended) {
  TestPlug plug;
  StateChunk chunk;
  ASSERT_TRUE(plug.SerializeState(chunk));
  ASSERT_EQ(chunk.Size(), 104);
  const auto expected = ChunkOf(kDefaults);
  EXPECT_EQ(std::memcmp(chunk.Bytes(), expected->Bytes(), 104), 0);
  // Byte-level check of one value: 22.0 is 0x4036000000000000.
  const uint8_t limit[8] = {0, 0, 0, 0, 0, 0, 0x36, 0x40};
  EXPECT_EQ(std::memcmp(chunk.Bytes() + 8, limit, 8), 0);

  ASSERT_TRUE(plug.SerializeState(chunk));
  EXPECT_EQ(chunk.Size(), 208);
  EXPECT_EQ(std::memcmp(chunk.Bytes() + 104, expected->Bytes(), 104), 0);
}

TEST(PluginState, RoundTrip) {
  TestPlug a;
  for (int i = 0; i < a.NParams(); ++i) a.GetParam(i)->SetNormalized(0.3);
  StateChunk chunk;
  a.SerializeState(chunk);
  TestPlug b;
  EXPECT_EQ(b.UnserializeState(chunk, 0), 104);
  EXPECT_EQ(Values(b), Values(a));
  EXPECT_EQ(b.paramChanges, AllIndices());
}

TEST(PluginState, ShortChunkLoadsWhatIsThereAndSetsTheFirstMissingToClampZero) {
  TestPlug plug;
  for (int i = 0; i < 13; ++i) plug.GetParam(i)->SetClamped(1.0);
  std::vector<double> stored(12);
  for (int i = 0; i < 12; ++i) stored[static_cast<size_t>(i)] = kDefaults[static_cast<size_t>(i)];
  const auto chunk = ChunkOf(stored);  // 96 bytes
  EXPECT_EQ(plug.UnserializeState(*chunk, 0), -1);
  std::vector<double> expected = stored;
  expected.push_back(0.0);
  EXPECT_EQ(Values(plug), expected);
  EXPECT_EQ(plug.paramChanges, AllIndices());

  // Running short earlier: later parameters keep their values.
  TestPlug early;
  early.GetParam(6)->SetClamped(3.0);
  EXPECT_EQ(early.UnserializeState(*ChunkOf({1, 2, 3, 4}), 0), -1);
  EXPECT_EQ(early.GetParam(3)->Value(), 4.0);
  EXPECT_EQ(early.GetParam(4)->Value(), 0.0);
  EXPECT_EQ(early.GetParam(5)->Value(), 2.0);
  EXPECT_EQ(early.GetParam(6)->Value(), 3.0);
  EXPECT_EQ(early.paramChanges.size(), 13u);
}

TEST(PluginState, ForeignValuesAreClampedNotRounded) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> values = kDefaults;
  values[1] = 11.4;  // 0..22
  values[3] = 99.0;  // 0..22
  values[4] = nan;   // 0..4: never a NaN parameter, the minimum instead
  values[5] = inf;
  values[6] = -inf;
  values[7] = -3.0;
  TestPlug plug;
  EXPECT_EQ(plug.UnserializeState(*ChunkOf(values), 0), 104);
  EXPECT_EQ(plug.GetParam(1)->Value(), 11.4);
  EXPECT_EQ(plug.GetParam(3)->Value(), 22.0);
  EXPECT_EQ(plug.GetParam(4)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(5)->Value(), 4.0);
  EXPECT_EQ(plug.GetParam(6)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(7)->Value(), 0.0);
}

TEST(PluginState, StartPositionAndLongerChunks) {
  TestPlug plug;
  StateChunk chunk;
  AppendLE(chunk, 777.0);  // a foreign prefix
  plug.SerializeState(chunk);
  AppendLE(chunk, 5.0);  // trailing data is ignored
  for (int i = 0; i < 13; ++i) plug.GetParam(i)->SetClamped(0.0);
  EXPECT_EQ(plug.UnserializeState(chunk, 8), 112);
  EXPECT_EQ(Values(plug), kDefaults);

  plug.paramChanges.clear();
  EXPECT_LT(plug.UnserializeState(chunk, -5), 0);
  EXPECT_EQ(Values(plug), kDefaults);  // nothing read
  EXPECT_EQ(plug.paramChanges, AllIndices());
}

TEST(PluginState, CompareStateTolerance) {
  TestPlug plug;
  plug.GetParam(0)->SetClamped(1.000001);
  std::vector<double> values = kDefaults;
  values[0] = 1.000003;
  EXPECT_TRUE(plug.CompareState(ChunkOf(values)->Bytes(), 0));
  values[0] = 1.0001;
  EXPECT_FALSE(plug.CompareState(ChunkOf(values)->Bytes(), 0));

  // The start position counts whole values: 2 skips 16 bytes.
  values[0] = 1.000001;
  values.insert(values.begin(), {-50.0, -60.0});
  EXPECT_TRUE(plug.CompareState(ChunkOf(values)->Bytes(), 2));
  EXPECT_FALSE(plug.CompareState(ChunkOf(values)->Bytes(), 0));
}

TEST(PluginState, RestoreDefaultPreset) {
  TestPlug plug;
  EXPECT_TRUE(plug.GetPreset(0)->initialised);
  EXPECT_EQ(plug.GetPreset(0)->state.Size(), 104);
  for (int i = 0; i < 13; ++i) plug.GetParam(i)->SetNormalized(0.5);
  plug.paramChanges.clear();
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(Values(plug), kDefaults);
  EXPECT_EQ(plug.paramChanges, AllIndices());
  EXPECT_EQ(plug.CurrentPresetIdx(), 0);
  EXPECT_EQ(plug.presetsChanged, 1);
}

TEST(PluginState, RestorePresetOutOfRangeIsRefused) {
  TestPlug plug;
  plug.GetParam(0)->SetClamped(3.0);
  EXPECT_FALSE(plug.RestorePreset(1));  // index == count
  EXPECT_FALSE(plug.RestorePreset(-1));
  EXPECT_EQ(plug.GetParam(0)->Value(), 3.0);
  EXPECT_TRUE(plug.paramChanges.empty());
  EXPECT_EQ(plug.presetsChanged, 0);
}

TEST(PluginState, FirstUseOfASlotCapturesAndNamesIt) {
  TestPlug plug("2-2 4-2", 4);
  plug.GetParam(2)->SetClamped(7.0);
  plug.paramChanges.clear();
  ASSERT_TRUE(plug.RestorePreset(1));
  EXPECT_STREQ(plug.GetPreset(1)->name, "user preset 1");
  EXPECT_TRUE(plug.GetPreset(1)->initialised);
  EXPECT_EQ(plug.GetPreset(1)->state.Size(), 104);
  EXPECT_EQ(plug.CurrentPresetIdx(), 1);
  EXPECT_TRUE(plug.paramChanges.empty());  // captured, not restored

  ASSERT_TRUE(plug.RestorePreset(2));
  EXPECT_STREQ(plug.GetPreset(2)->name, "user preset 2");
  ASSERT_TRUE(plug.RestorePreset(3));  // two present already
  EXPECT_STREQ(plug.GetPreset(3)->name, "user preset 3");

  // Restoring the captured slot brings its values back.
  plug.GetParam(2)->SetClamped(1.0);
  ASSERT_TRUE(plug.RestorePreset(1));
  EXPECT_EQ(plug.GetParam(2)->Value(), 7.0);
}

TEST(PluginState, CaptureCountsTheSlotsOwnName) {
  TestPlug plug("2-2 4-2", 2);
  std::snprintf(plug.GetPreset(1)->name, PresetSlot::kNameLen, "%s", "my user preset");
  ASSERT_TRUE(plug.RestorePreset(1));
  EXPECT_STREQ(plug.GetPreset(1)->name, "user preset 2");
}

TEST(PluginState, RestoringAnEmptyInitialisedPresetFails) {
  TestPlug plug("2-2 4-2", 2);
  plug.GetPreset(1)->initialised = true;
  plug.GetParam(0)->SetClamped(9.0);
  EXPECT_FALSE(plug.RestorePreset(1));
  EXPECT_EQ(plug.CurrentPresetIdx(), 0);
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);  // clamp(0.0)
  EXPECT_EQ(plug.paramChanges.size(), 13u);
  EXPECT_EQ(plug.presetsChanged, 0);
}

TEST(PluginState, MakeDefaultPresetTakesTheFirstFreeSlotOnly) {
  TestPlug plug("2-2 4-2", 2);
  plug.GetParam(0)->SetClamped(4.0);
  plug.MakeDefaultPreset();  // slot 1
  EXPECT_STREQ(plug.GetPreset(1)->name, "-");
  EXPECT_EQ(plug.GetPreset(1)->state.Size(), 104);
  plug.MakeDefaultPreset();  // no free slot left: nothing
  EXPECT_EQ(plug.GetPreset(0)->state.Size(), 104);
  EXPECT_EQ(plug.GetPreset(1)->state.Size(), 104);
}
