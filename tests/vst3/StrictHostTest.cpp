// Velmora built with fatal host breaches (a test-only module): a host that keeps the contract runs
// it through everything a session does without a single report, and the first breach ends the
// process, so no breach in these scenarios can pass unnoticed.

#include "tests/vst3/Vst3TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
constexpr int kBlock = 64;

vst3host::Module& StrictModule() {
  static std::unique_ptr<vst3host::Module> module = [] {
    std::string error;
    std::unique_ptr<vst3host::Module> loaded = vst3host::Module::Load(STRICT_BUNDLE_DIR, &error);
    if (!loaded) {
      ADD_FAILURE() << error;
      std::abort();
    }
    return loaded;
  }();
  return *module;
}
}  // namespace

TEST(WellBehavedHost, ASessionRunsWithoutABreach) {
  Plugin p = CreatePlugin(StrictModule());
  const std::vector<uint8_t> defaults = SaveState(p.component());
  for (int32 size : {kSample32, kSample64}) {
    ASSERT_EQ(p.instance->Prepare(size, size == kSample32 ? 44100.0 : 48000.0, kBlock), kResultOk);
    // The audio thread processes while the UI thread edits, saves and restores.
    std::atomic<bool> stop{false};
    std::atomic<long> refused{0};
    std::thread audio([&] {
      vst3host::ProcessBuffers buffers(size, kBlock, {2, 2}, {2});
      IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
      for (long block = 0; !stop.load() || block < 8; ++block) {
        for (int i = 0; i < kBlock; ++i) buffers.SetInput(0, 0, i, TestSignal(0, block * kBlock + i));
        changes->Clear();
        changes->Add(kParamRatio, 0, (block % 5) / 4.0);
        if (Process(p, buffers, kBlock, changes) != kResultOk) refused.fetch_add(1);
      }
    });
    for (int round = 0; round < 20; ++round) {
      EXPECT_EQ(p.controller()->setParamNormalized(kParamMix, round / 19.0), kResultOk);
      EXPECT_EQ(LoadState(p.controller(), SaveState(p.controller())), kResultOk);
    }
    EXPECT_EQ(LoadState(p.component(), defaults), kResultOk);
    stop.store(true);
    audio.join();
    EXPECT_EQ(refused.load(), 0);
    p.instance->Stop();
  }
  ASSERT_EQ(p.component()->terminate(), kResultOk);
  ASSERT_EQ(p.component()->initialize(p.host->Context()), kResultOk);
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{});
}

TEST(WellBehavedHostDeathTest, TheFirstBreachEndsTheProcess) {
  Plugin p = CreatePlugin(StrictModule());
  vst3host::ProcessBuffers buffers(kSample32, kBlock, {2, 2}, {2});
  EXPECT_DEATH(Process(p, buffers, kBlock), "") << "process before any setup";
}
