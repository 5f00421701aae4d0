// The state stream: thirteen little-endian doubles followed by a 32-bit bypass word, saved and
// restored through the component and the controller alike, never half-applied, and followed (later,
// on the UI thread) by a restart request when a restore changed what the host shows.

#include "tests/vst3/UiThread.h"
#include "tests/vst3/Vst3TestSupport.h"

#include "tests/support/LimitedStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
constexpr int kStateBytes = kNumParams * 8 + 4;

// The restart requests the handler received so far.
std::vector<vst3host::HandlerCall> Restarts(const Plugin& p) {
  std::vector<vst3host::HandlerCall> restarts;
  for (const vst3host::HandlerCall& call : p.handler->Calls())
    if (call.kind == vst3host::HandlerCall::kRestart) restarts.push_back(call);
  return restarts;
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
  EXPECT_EQ(StoredValue(bytes, 0), 0.0);   // Compressor Threshold step 0
  EXPECT_EQ(StoredValue(bytes, 1), 22.0);  // Limit Level default
  EXPECT_EQ(StoredValue(bytes, 2), 3.0);   // Gain 0.3 of 10
  EXPECT_EQ(StoredValue(bytes, 3), 11.0);  // Mix 0.5 of 22
  EXPECT_EQ(StoredValue(bytes, 10), 1.0);  // the effect's own Bypass
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
    EXPECT_EQ(LoadState(target.controller(), std::vector<uint8_t>(full.begin(), full.begin() + length)), kResultFalse)
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

TEST(State, BothFacesCarryTheSameBytes) {
  Edited e;
  const std::vector<uint8_t> bytes = SaveState(e.rig.controller());
  EXPECT_EQ(SaveState(e.rig.component()), bytes);

  // Restored through the component, through the controller's copy of the component state, or
  // through the controller's own state: the same values and bypass every time.
  using Restore = tresult (*)(const Plugin&, const std::vector<uint8_t>&);
  const Restore restores[] = {
      [](const Plugin& p, const std::vector<uint8_t>& b) { return LoadState(p.component(), b); },
      [](const Plugin& p, const std::vector<uint8_t>& b) { return p.controller()->setComponentState(StreamOf(b)); },
      [](const Plugin& p, const std::vector<uint8_t>& b) { return LoadState(p.controller(), b); },
  };
  for (Restore restore : restores) {
    Plugin fresh = CreateVelmora();
    ASSERT_EQ(restore(fresh, bytes), kResultOk);
    EXPECT_EQ(SaveState(fresh.component()), bytes);
    EXPECT_EQ(fresh.controller()->getParamNormalized(kParamMix), 0.5);
    EXPECT_EQ(fresh.controller()->getParamNormalized(kBypassId), 1.0);
  }

  Plugin fresh = CreateVelmora();
  const std::vector<uint8_t> before = SaveState(fresh.component());
  for (size_t length : {size_t{4}, size_t{104}, size_t{kStateBytes - 1}}) {
    const std::vector<uint8_t> part(bytes.begin(), bytes.begin() + length);
    EXPECT_EQ(LoadState(fresh.component(), part), kResultFalse) << length;
    EXPECT_EQ(fresh.controller()->setComponentState(StreamOf(part)), kResultFalse) << length;
    EXPECT_EQ(SaveState(fresh.component()), before) << length;
  }
  EXPECT_EQ(fresh.component()->setState(nullptr), kInvalidArgument);
  EXPECT_EQ(fresh.component()->getState(nullptr), kInvalidArgument);
  EXPECT_EQ(fresh.controller()->setComponentState(nullptr), kInvalidArgument);
}

TEST(State, ProjectsOfOlderBuildsWithOnlyAControllerStateLoad) {
  // An older build stored nothing for the component; a host hands that back as an empty stream
  // to the component and to the controller, then the controller its own state.
  Edited e;
  const std::vector<uint8_t> controllerState = SaveState(e.rig.controller());
  Plugin fresh = CreateVelmora();
  EXPECT_EQ(LoadState(fresh.component(), {}), kResultOk);
  EXPECT_EQ(fresh.controller()->setComponentState(StreamOf({})), kResultOk);
  EXPECT_TRUE(Restarts(fresh).empty()) << "nothing stored, nothing changed";
  ASSERT_EQ(LoadState(fresh.controller(), controllerState), kResultOk);
  EXPECT_EQ(SaveState(fresh.component()), controllerState);
}

TEST(State, ARestoreThatChangesValuesAsksTheHostToRereadThem) {
  Edited e;
  const std::vector<uint8_t> edited = SaveState(e.rig.controller());
  UiThread ui;
  Plugin p = CreatePlugin(VelmoraModule(), nullptr, ui.RunLoop());
  const std::vector<uint8_t> defaults = SaveState(p.controller());
  const auto awaitRestarts = [&](size_t n) { return ui.RunUntil([&] { return Restarts(p).size() >= n; }, 10000); };

  ASSERT_EQ(LoadState(p.controller(), defaults), kResultOk);
  ui.RunTimers();
  EXPECT_TRUE(Restarts(p).empty()) << "the values did not change";

  // Once per restore that changed something, later, on the UI thread (DeferredNotice.*).
  ASSERT_EQ(LoadState(p.component(), edited), kResultOk);
  ASSERT_TRUE(awaitRestarts(1));
  EXPECT_EQ(Restarts(p)[0].flags, kParamValuesChanged);

  // The bypass word alone is a change too; a refused stream is none.
  std::vector<uint8_t> bypassOff = edited;
  bypassOff[kStateBytes - 4] = 0;
  ASSERT_EQ(p.controller()->setComponentState(StreamOf(bypassOff)), kResultOk);
  ASSERT_TRUE(awaitRestarts(2));
  EXPECT_EQ(LoadState(p.controller(), std::vector<uint8_t>(edited.begin(), edited.begin() + 20)), kResultFalse);
  ui.RunTimers();
  EXPECT_EQ(Restarts(p).size(), 2u);
}

TEST(State, SavingFailsWhenTheHostsStreamDoesNotTakeEveryByte) {
  Plugin p = CreateVelmora();
  struct Case {
    int32 budget;
    int32 piece;
    tresult expected;
  } cases[] = {
      {0, 1000, kResultFalse},                // stores nothing
      {50, 1000, kResultFalse},               // stores part of the values
      {kStateBytes - 1, 1000, kResultFalse},  // all but the last byte of the bypass word
      {kStateBytes, 7, kResultOk},            // everything, a few bytes per call
  };
  for (const Case& c : cases) {
    IPtr<vst3host::LimitedStream> forController = owned(new vst3host::LimitedStream(c.budget, c.piece));
    IPtr<vst3host::LimitedStream> forComponent = owned(new vst3host::LimitedStream(c.budget, c.piece));
    EXPECT_EQ(p.controller()->getState(forController), c.expected) << c.budget << " " << c.piece;
    EXPECT_EQ(p.component()->getState(forComponent), c.expected) << c.budget << " " << c.piece;
  }
}

TEST(State, ARestoredBypassSurvivesProcessingSetup) {
  // Hosts often restore a project's state first and set up processing afterwards.
  Edited e;
  const std::vector<uint8_t> bytes = SaveState(e.rig.controller());
  Plugin p = CreateVelmora();
  ASSERT_EQ(LoadState(p.component(), bytes), kResultOk);
  ASSERT_EQ(p.instance->Prepare(kSample32, 48000.0, 128), kResultOk);
  EXPECT_EQ(p.controller()->getParamNormalized(kBypassId), 1.0);
  vst3host::ProcessBuffers buffers(kSample32, 128, {2, 2}, {2});
  for (int i = 0; i < 128; ++i) buffers.SetInput(0, 0, i, 0.5 * TestSignal(0, i));
  ASSERT_EQ(Process(p, buffers, 128), kResultOk);
  for (int i = 0; i < 128; ++i) ASSERT_EQ(buffers.Output(0, 0, i), buffers.Input(0, 0, i)) << i;
}
