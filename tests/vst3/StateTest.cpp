// The state stream: thirteen little-endian doubles followed by a 32-bit bypass word, saved and
// restored through the controller, and never half-applied.

#include "tests/vst3/Vst3TestSupport.h"

#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
constexpr int kStateBytes = kNumParams * 8 + 4;

std::vector<uint8_t> SaveState(IEditController* c) {
  IPtr<MemoryStream> stream = owned(new MemoryStream());
  EXPECT_EQ(c->getState(stream), kResultOk);
  const auto* bytes = reinterpret_cast<const uint8_t*>(stream->getData());
  return std::vector<uint8_t>(bytes, bytes + stream->getSize());
}

tresult LoadState(IEditController* c, std::vector<uint8_t> bytes) {
  IPtr<MemoryStream> stream = owned(new MemoryStream());
  int32 written = 0;
  if (!bytes.empty()) stream->write(bytes.data(), static_cast<int32>(bytes.size()), &written);
  stream->seek(0, IBStream::kIBSeekSet, nullptr);
  return c->setState(stream);
}

double DoubleAt(const std::vector<uint8_t>& bytes, size_t offset) {
  uint64_t bits = 0;
  for (int b = 7; b >= 0; --b) bits = (bits << 8) | bytes[offset + static_cast<size_t>(b)];
  double v;
  std::memcpy(&v, &bits, sizeof(v));
  return v;
}

// An instance with a few parameters moved away from their defaults and the host bypass on.
struct Edited {
  Edited() : rig(CreateVelmora()), buffers(kSample32, 64, {2, 2}, {2}) {
    rig.instance->Prepare(kSample32, 44100.0, 64);
    IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
    changes->Add(kParamMix, 0, 0.5);
    changes->Add(kParamGain, 0, 0.3);
    changes->Add(kParamCompressorThreshold, 0, 0.0);
    changes->Add(kBypassId, 0, 1.0);
    EXPECT_EQ(Process(rig, buffers, 0, changes), kResultOk);
  }
  Plugin rig;
  vst3host::ProcessBuffers buffers;
};
}  // namespace

TEST(State, StreamIsTheValuesThenTheBypassWord) {
  Edited e;
  const std::vector<uint8_t> bytes = SaveState(e.rig.controller());
  ASSERT_EQ(bytes.size(), static_cast<size_t>(kStateBytes));
  EXPECT_EQ(DoubleAt(bytes, 0), 0.0);     // Compressor Threshold step 0
  EXPECT_EQ(DoubleAt(bytes, 8), 22.0);    // Limit Level default
  EXPECT_EQ(DoubleAt(bytes, 16), 3.0);    // Gain 0.3 of 10
  EXPECT_EQ(DoubleAt(bytes, 24), 11.0);   // Mix 0.5 of 22
  EXPECT_EQ(DoubleAt(bytes, 80), 1.0);    // the effect's own Bypass
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 4, bytes.end()), (std::vector<uint8_t>{1, 0, 0, 0}));
}

TEST(State, RoundTripIntoAFreshInstance) {
  Edited e;
  const std::vector<uint8_t> bytes = SaveState(e.rig.controller());
  Plugin fresh = CreateVelmora();
  ASSERT_EQ(LoadState(fresh.controller(), bytes), kResultOk);
  for (ParamID id = 0; id < kNumParams; ++id)
    EXPECT_EQ(fresh.controller()->getParamNormalized(id), e.rig.controller()->getParamNormalized(id)) << id;
  EXPECT_EQ(fresh.controller()->getParamNormalized(kBypassId), 1.0);
  EXPECT_EQ(SaveState(fresh.controller()), bytes);
}

TEST(State, ShortStreamsAreRefusedAndChangeNothing) {
  Edited source;
  const std::vector<uint8_t> full = SaveState(source.rig.controller());
  Plugin target = CreateVelmora();
  const std::vector<uint8_t> before = SaveState(target.controller());
  for (size_t length : {size_t{0}, size_t{4}, size_t{50}, size_t{104}, size_t{kStateBytes - 1}}) {
    EXPECT_EQ(LoadState(target.controller(), std::vector<uint8_t>(full.begin(), full.begin() + length)),
              kResultFalse)
        << length;
    EXPECT_EQ(SaveState(target.controller()), before) << "nothing may be half-applied, length " << length;
  }
  EXPECT_EQ(target.controller()->setState(nullptr), kInvalidArgument);
  EXPECT_EQ(target.controller()->getState(nullptr), kInvalidArgument);
}

TEST(State, ForeignValuesAreClampedAndBypassIsAnyNonZeroWord) {
  Plugin p = CreateVelmora();
  std::vector<uint8_t> bytes = SaveState(p.controller());
  const double tooLarge = 99.0;  // Mix only goes to 22
  uint64_t bits;
  std::memcpy(&bits, &tooLarge, 8);
  for (int b = 0; b < 8; ++b) bytes[24 + static_cast<size_t>(b)] = static_cast<uint8_t>(bits >> (8 * b));
  bytes[kStateBytes - 1] = 0x80;  // bypass word 0x80000000
  ASSERT_EQ(LoadState(p.controller(), bytes), kResultOk);
  EXPECT_EQ(p.controller()->getParamNormalized(kParamMix), 1.0);
  EXPECT_EQ(p.controller()->getParamNormalized(kBypassId), 1.0);
}

TEST(State, TheComponentCarriesNoStateOfItsOwn) {
  Plugin p = CreateVelmora();
  IPtr<MemoryStream> stream = owned(new MemoryStream());
  EXPECT_EQ(p.component()->getState(stream), kNotImplemented);
  EXPECT_EQ(p.component()->setState(stream), kNotImplemented);
  EXPECT_EQ(stream->getSize(), 0);
}
