// What hosts do from their UI thread while the audio thread is inside process: parameter edits,
// state save and restore, processing setup, and (against the contract, as buggy hosts do) bus
// changes. Each test keeps an audio thread processing blocks while the UI thread calls, so the
// sanitizer builds see every interleaving the binding allows. These tests also run under
// ThreadSanitizer.

#include "tests/vst3/Vst3TestSupport.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
constexpr int kBlock = 64;

// Processes blocks of the test signal on its own thread, main and sidechain, sending a parameter
// change now and then, until stopped; counts the blocks and any non-finite output sample.
class AudioThread {
public:
  AudioThread(const Plugin& plugin, int32 sampleSize)
      : mPlugin(plugin), mBuffers(sampleSize, kBlock, {2, 2}, {2}), mChanges(owned(new vst3host::ParameterChanges())) {
    mThread = std::thread([this] { Run(); });
  }
  ~AudioThread() { Stop(); }

  // Waits until at least n more blocks ran, so the UI thread's calls overlap real processing.
  void AwaitBlocks(long n) {
    const long target = mBlocks.load() + n;
    while (mBlocks.load() < target) std::this_thread::yield();
  }

  void Stop() {
    mStop.store(true);
    if (mThread.joinable()) mThread.join();
  }
  long NonFinite() const { return mNonFinite.load(); }
  long Refused() const { return mRefused.load(); }

private:
  void Run() {
    long frame = 0;
    while (!mStop.load()) {
      for (int i = 0; i < kBlock; ++i) {
        for (int ch = 0; ch < 2; ++ch) {
          mBuffers.SetInput(0, ch, i, 0.5 * TestSignal(ch, frame + i));
          mBuffers.SetInput(1, ch, i, TestSignal(ch + 2, frame + i));
        }
      }
      mChanges->Clear();
      const long block = mBlocks.load();
      if (block % 7 == 0) mChanges->Add(kParamRatio, 0, (block % 5) / 4.0);
      if (block % 11 == 0) mChanges->Add(kParamExternalSidechain, 3, (block / 11) % 2);
      if (Process(mPlugin, mBuffers, kBlock, mChanges) != kResultOk) mRefused.fetch_add(1);
      for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < kBlock; ++i)
          if (!std::isfinite(mBuffers.Output(0, ch, i))) mNonFinite.fetch_add(1);
      frame += kBlock;
      mBlocks.fetch_add(1);
    }
  }

  const Plugin& mPlugin;
  vst3host::ProcessBuffers mBuffers;
  IPtr<vst3host::ParameterChanges> mChanges;
  std::atomic<bool> mStop{false};
  std::atomic<long> mBlocks{0};
  std::atomic<long> mNonFinite{0};
  std::atomic<long> mRefused{0};
  std::thread mThread;
};

class CrossThread : public ::testing::TestWithParam<int32> {
protected:
  CrossThread() { EXPECT_EQ(plugin.instance->Prepare(GetParam(), 44100.0, kBlock), kResultOk); }
  Plugin plugin = CreateVelmora();
};
}  // namespace

TEST_P(CrossThread, ParameterEditsStateAndSetupWhileProcessRuns) {
  IEditController* c = plugin.controller();
  IComponent* component = plugin.component();
  const std::vector<uint8_t> initial = SaveState(component);
  AudioThread audio(plugin, GetParam());
  for (int round = 0; round < 40; ++round) {
    audio.AwaitBlocks(2);
    EXPECT_EQ(c->setParamNormalized(kParamMix, (round % 23) / 22.0), kResultOk);
    EXPECT_EQ(c->setParamNormalized(kParamGain, (round % 3) / 10.0), kResultOk);
    EXPECT_EQ(c->setParamNormalized(kBypassId, round % 9 == 0 ? 1.0 : 0.0), kResultOk);
    EXPECT_GE(c->getParamNormalized(kParamRatio), 0.0);
    String128 text = {};
    EXPECT_EQ(c->getParamStringByValue(kParamMix, c->getParamNormalized(kParamMix), text), kResultOk);

    const std::vector<uint8_t> saved = round % 2 ? SaveState(c) : SaveState(component);
    ASSERT_EQ(saved.size(), initial.size());
    EXPECT_EQ(LoadState(c, round % 3 ? saved : initial), kResultOk);
    EXPECT_EQ(c->setComponentState(StreamOf(saved)), kResultOk);
    EXPECT_EQ(LoadState(component, initial), kResultOk);

    // Some hosts set processing up again (a new rate or block size) without deactivating first.
    ProcessSetup setup{kRealtime, GetParam(), round % 2 ? kBlock : 2 * kBlock, round % 4 ? 44100.0 : 48000.0};
    EXPECT_EQ(plugin.processor()->setupProcessing(setup), kResultOk);
  }
  audio.Stop();
  EXPECT_EQ(audio.NonFinite(), 0);
  EXPECT_EQ(audio.Refused(), 0);
  EXPECT_EQ(plugin.ReportedBreaches(), std::vector<HostBreach>{HostBreach::ChangeWhileActive});
}

TEST_P(CrossThread, BusChangesWhileProcessRunsWaitForTheBlock) {
  // The contract forbids changing buses while processing is active, but a host that does it must
  // not pull buffers from under the audio thread.
  SpeakerArrangement stereoKey[] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
  SpeakerArrangement monoKey[] = {SpeakerArr::kStereo, SpeakerArr::kMono};
  SpeakerArrangement outs[] = {SpeakerArr::kStereo};
  AudioThread audio(plugin, GetParam());
  for (int round = 0; round < 40; ++round) {
    audio.AwaitBlocks(1);
    EXPECT_EQ(plugin.processor()->setBusArrangements(round % 2 ? monoKey : stereoKey, 2, outs, 1), kResultOk);
    EXPECT_EQ(plugin.component()->activateBus(kAudio, kInput, 1, round % 3 != 0), kResultTrue);
    EXPECT_EQ(plugin.component()->activateBus(kAudio, kOutput, 0, round % 5 != 0), kResultTrue);
  }
  audio.Stop();
  EXPECT_EQ(audio.NonFinite(), 0);
  EXPECT_EQ(audio.Refused(), 0);
  EXPECT_EQ(plugin.ReportedBreaches(), std::vector<HostBreach>{HostBreach::ChangeWhileActive});
}

// Two host threads initialising one instance at the same moment: exactly one succeeds, the buses
// and parameters are built once, and the refused call keeps no reference on its host context.
TEST(CrossThreadInitialise, TwoInitialisesAtOnceSucceedOnce) {
  vst3host::Module& module = VelmoraModule();
  TUID cid;
  ASSERT_TRUE(module.FindClass("Audio Module Class", cid));
  for (int round = 0; round < 100; ++round) {
    IPtr<vst3host::HostApplication> hosts[2] = {owned(new vst3host::HostApplication("First")),
                                                owned(new vst3host::HostApplication("Second"))};
    void* obj = nullptr;
    ASSERT_EQ(module.Factory()->createInstance(reinterpret_cast<const char*>(cid),
                                               reinterpret_cast<const char*>(IComponent::iid.toTUID()), &obj),
              kResultOk);
    IPtr<IComponent> component = owned(static_cast<IComponent*>(obj));
    std::atomic<int> ready{0};
    tresult results[2] = {kResultFalse, kResultFalse};
    std::thread threads[2];
    for (int t = 0; t < 2; ++t) {
      threads[t] = std::thread([&, t] {
        ready.fetch_add(1);
        while (ready.load() < 2) std::this_thread::yield();
        results[t] = component->initialize(hosts[t]->Context());
      });
    }
    for (std::thread& thread : threads) thread.join();
    ASSERT_EQ((results[0] == kResultOk) + (results[1] == kResultOk), 1) << "round " << round;
    EXPECT_EQ(component->getBusCount(kAudio, kInput), 2);
    EXPECT_EQ(component->getBusCount(kAudio, kOutput), 1);
    FUnknownPtr<IEditController> controller(component);
    ASSERT_TRUE(controller);
    EXPECT_EQ(controller->getParameterCount(), 15);
    EXPECT_EQ(hosts[results[0] == kResultOk ? 1 : 0]->RefCount(), 1u) << "the refused host context is not kept";
    EXPECT_EQ(component->terminate(), kResultOk);
    EXPECT_EQ(hosts[0]->RefCount() + hosts[1]->RefCount(), 2u) << "nothing kept after terminate";
  }
}

INSTANTIATE_TEST_SUITE_P(Vst3, CrossThread, ::testing::Values(kSample32, kSample64),
                         [](const ::testing::TestParamInfo<int32>& size) {
                           return size.param == kSample32 ? std::string("Float") : std::string("Double");
                         });
