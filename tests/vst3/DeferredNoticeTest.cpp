// Values the host does not know yet (a restored state, a program change in process) are announced
// with a "parameter values changed" restart, but never from inside a host call: hosts hold their
// own locks around state, parameter, activation, setup and bus calls and take them again in
// restartComponent (Ardour 7.3 hangs for good). The notice comes later, from the host's UI thread
// between its calls; values the host set itself are never announced back.

#include "tests/vst3/UiThread.h"
#include "tests/vst3/Vst3TestSupport.h"

#include "tools/vst3host/PlugFrame.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {

std::vector<vst3host::HandlerCall> Restarts(const Plugin& p) {
  std::vector<vst3host::HandlerCall> restarts;
  for (const vst3host::HandlerCall& call : p.handler->Calls())
    if (call.kind == vst3host::HandlerCall::kRestart) restarts.push_back(call);
  return restarts;
}

// Velmora in a host whose UI thread can run between calls, prepared, with its state at defaults
// and with a few values moved.
struct HostedVelmora {
  HostedVelmora() : plugin(CreatePlugin(VelmoraModule(), nullptr, ui.RunLoop())), buffers(kSample32, 64, {2, 2}, {2}) {
    EXPECT_EQ(plugin.instance->Prepare(kSample32, 44100.0, 64), kResultOk);
    defaults = SaveState(plugin.controller());
    IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
    changes->Add(kParamMix, 0, 0.5);
    changes->Add(kParamRatio, 0, 1.0);
    EXPECT_EQ(Process(plugin, buffers, 0, changes), kResultOk);
    edited = SaveState(plugin.controller());
  }
  bool AwaitRestart() {
    return ui.RunUntil([&] { return !Restarts(plugin).empty(); }, 10000);
  }

  UiThread ui;
  Plugin plugin;
  vst3host::ProcessBuffers buffers;
  std::vector<uint8_t> defaults, edited;
};

}  // namespace

TEST(DeferredNotice, NoHostCallThatMayHoldHostLocksCallsBackTheNoticeComesLater) {
  HostedVelmora h;
  Plugin& p = h.plugin;
  SpeakerArrangement ins[] = {SpeakerArr::kStereo, SpeakerArr::kMono};
  SpeakerArrangement outs[] = {SpeakerArr::kStereo};
  ProcessSetup setup{kRealtime, kSample32, 64, 48000.0};
  struct Call {
    const char* name;
    std::function<tresult()> call;
  } calls[] = {
      {"component setState", [&] { return LoadState(p.component(), h.defaults); }},
      {"controller setState", [&] { return LoadState(p.controller(), h.edited); }},
      {"setComponentState", [&] { return p.controller()->setComponentState(StreamOf(h.defaults)); }},
      {"setParamNormalized", [&] { return p.controller()->setParamNormalized(kParamGain, 0.4); }},
      {"setActive", [&] { return p.component()->setActive(false); }},
      {"setupProcessing", [&] { return p.processor()->setupProcessing(setup); }},
      {"setBusArrangements", [&] { return p.processor()->setBusArrangements(ins, 2, outs, 1); }},
      {"activateBus",
       [&] { return p.component()->activateBus(kAudio, kInput, 1, true) == kResultTrue ? kResultOk : kResultFalse; }},
      {"setActive", [&] { return p.component()->setActive(true); }},
      {"process with a program change", [&] { return SendParam(p, h.buffers, kPresetId, 0.0); }},
  };
  for (const Call& c : calls) {
    EXPECT_EQ(c.call(), kResultOk) << c.name;
    EXPECT_TRUE(Restarts(p).empty()) << c.name << " called back into the host";
  }

  // Later, on the host's UI thread, between its calls: one notice for everything waiting.
  ASSERT_TRUE(h.AwaitRestart());
  h.ui.RunTimers();
  const std::vector<vst3host::HandlerCall> restarts = Restarts(p);
  ASSERT_EQ(restarts.size(), 1u);
  EXPECT_EQ(restarts[0].flags, kParamValuesChanged);
  EXPECT_EQ(restarts[0].thread, std::this_thread::get_id());
}

TEST(DeferredNotice, ARestoreFromAnotherThreadIsAnnouncedOnTheUiThread) {
  HostedVelmora h;
  std::thread loader([&] { EXPECT_EQ(LoadState(h.plugin.component(), h.defaults), kResultOk); });
  loader.join();
  ASSERT_TRUE(h.AwaitRestart());
  EXPECT_EQ(Restarts(h.plugin)[0].thread, std::this_thread::get_id());
}

// A program chosen through the host's program-change parameter is applied in process; the host's
// own view of the values follows once the notice arrives, and reads the preset's values.
TEST(DeferredNotice, AProgramChangeIsAnnouncedAfterTheBlockThatAppliedIt) {
  HostedVelmora h;
  IEditController* c = h.plugin.controller();
  ASSERT_EQ(SendParam(h.plugin, h.buffers, kPresetId, 0.0), kResultOk);
  EXPECT_TRUE(Restarts(h.plugin).empty()) << "never from process";
  ASSERT_TRUE(h.AwaitRestart());
  EXPECT_EQ(SaveState(c), h.defaults);
  EXPECT_EQ(c->getParamNormalized(kParamMix), 1.0);
}

TEST(DeferredNotice, ValuesTheHostSetItselfAreNotAnnounced) {
  HostedVelmora h;
  Plugin& p = h.plugin;
  IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
  changes->Add(kParamGain, 0, 0.7);
  changes->Add(kBypassId, 0, 1.0);
  ASSERT_EQ(Process(p, h.buffers, 0, changes), kResultOk);
  for (ParamID id : {ParamID{kParamMix}, ParamID{kParamGain}, kBypassId, kPresetId})
    EXPECT_EQ(p.controller()->setParamNormalized(id, 0.3), kResultOk);
  const std::vector<uint8_t> current = SaveState(p.controller());
  ASSERT_EQ(LoadState(p.controller(), current), kResultOk);  // a restore that changes nothing
  h.ui.RunTimers();
  EXPECT_TRUE(Restarts(p).empty());
}

// A host whose handler and context offer no run loop may still offer one through an open editor's
// frame; the notice goes out through it while the editor is open.
TEST(DeferredNotice, AnOpenEditorsFrameDeliversWhereNothingElseDoes) {
  UiThread ui;
  Plugin p = CreatePlugin(ProbeModule());
  IPtr<IPlugView> view = owned(p.controller()->createView(ViewType::kEditor));
  ASSERT_TRUE(view);
  IPtr<vst3host::PlugFrame> frame = owned(new vst3host::PlugFrame(ui.RunLoop()));
  ASSERT_EQ(view->setFrame(frame), kResultOk);
  int parent = 0;
  ASSERT_EQ(view->attached(&parent, "ProbeWindow"), kResultOk);
  const std::vector<uint8_t> before = SaveState(p.controller());
  ASSERT_EQ(p.controller()->setParamNormalized(0, 1.0), kResultOk);
  const std::vector<uint8_t> moved = SaveState(p.controller());
  ASSERT_EQ(LoadState(p.controller(), before), kResultOk);
  EXPECT_TRUE(Restarts(p).empty());
  ASSERT_TRUE(ui.RunUntil([&] { return !Restarts(p).empty(); }, 10000));
  EXPECT_EQ(Restarts(p)[0].flags, kParamValuesChanged);
  EXPECT_EQ(view->removed(), kResultOk);
  ASSERT_EQ(LoadState(p.controller(), moved), kResultOk);
  EXPECT_EQ(Restarts(p).size(), 1u);
}
