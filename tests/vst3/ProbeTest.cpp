// Editor view, editor edits, latency, note input and transport, on a small probe effect built
// with an attached (windowless) editor. Velmora's own view without an editor is covered here too.

#include "tests/vst3/Vst3TestSupport.h"

#include "tools/vst3host/EventList.h"
#include "tools/vst3host/PlugFrame.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
using ControllerFn = void (*)(IEditController*);
template <class Fn>
Fn Hook(const char* name) {
  void* symbol = ProbeModule().Symbol(name);
  EXPECT_NE(symbol, nullptr) << name;
  return reinterpret_cast<Fn>(symbol);
}

uint32 RefCount(FUnknown* object) {
  object->addRef();
  return object->release();
}

class Probe : public ::testing::Test {
protected:
  Plugin p = CreatePlugin(ProbeModule());
  IEditController* c = p.controller();
};
}  // namespace

TEST(EditorView, OnlyTheEditorViewIsCreatedAndItKeepsThePluginAlive) {
  Plugin v = CreateVelmora();
  EXPECT_EQ(v.controller()->createView("other"), nullptr);
  EXPECT_EQ(v.controller()->createView(nullptr), nullptr);
  EXPECT_EQ(v.controller()->createView("editorX"), nullptr);

  const uint32 refs = RefCount(v.controller());
  IPlugView* view = v.controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(RefCount(v.controller()), refs + 1);
  EXPECT_EQ(view->canResize(), kResultFalse);
  EXPECT_EQ(view->onKeyDown(0, 0, 0), kResultFalse);
  view->release();  // never attached
  EXPECT_EQ(RefCount(v.controller()), refs);
}

TEST(EditorView, VelmoraEditorIsTheFixedPanel) {
  Plugin v = CreateVelmora();
  IPlugView* view = v.controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  ViewRect rect;
  ASSERT_EQ(view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.getWidth(), 404);
  EXPECT_EQ(rect.getHeight(), 634);
  EXPECT_EQ(view->canResize(), kResultFalse);
  view->release();
}

TEST(EditorView, WithoutAnEditorNothingIsOffered) {
  Hook<void (*)(bool)>("ProbeUseEditor")(false);
  Plugin bare = CreatePlugin(ProbeModule());
  Hook<void (*)(bool)>("ProbeUseEditor")(true);
  IPlugView* view = bare.controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
  ViewRect rect;
  EXPECT_EQ(view->getSize(&rect), kResultFalse);
  int parent = 0;
  EXPECT_EQ(view->attached(&parent, kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->removed(), kResultOk);
  view->release();
}

TEST_F(Probe, ViewReportsTheEditorSizeAndOffersOnlyTheWindowTypesOfTheEditorsClass) {
  IPlugView* view = c->createView("editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(Hook<int (*)(IEditController*)>("ProbeOpenViews")(c), 1);
  ViewRect rect(1, 2, 3, 4);
  ASSERT_EQ(view->getSize(&rect), kResultOk);  // before attachment already
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 300);
  EXPECT_EQ(rect.bottom, 200);
  EXPECT_EQ(view->getSize(nullptr), kInvalidArgument);

  // The probe's platform class opens only its own made-up window type.
  using EditorWindowFn = void* (*)(IEditController*, int*);
  int opened = 0;
  for (FIDString type : {kPlatformTypeHWND, kPlatformTypeX11EmbedWindowID, "ProbeWindowX", "probewindow"}) {
    EXPECT_EQ(view->isPlatformTypeSupported(type), kResultFalse) << type;
    int parent = 0;
    EXPECT_EQ(view->attached(&parent, type), kResultFalse) << type;
  }
  EXPECT_EQ(Hook<EditorWindowFn>("ProbeEditorWindow")(c, &opened), nullptr);
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(view->isPlatformTypeSupported("ProbeWindow"), kResultOk);
  int parent = 0;
  EXPECT_EQ(view->attached(nullptr, "ProbeWindow"), kInvalidArgument);
  ASSERT_EQ(view->attached(&parent, "ProbeWindow"), kResultOk);
  EXPECT_EQ(Hook<EditorWindowFn>("ProbeEditorWindow")(c, &opened), &parent);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(Hook<EditorWindowFn>("ProbeEditorWindow")(c, &opened), nullptr);
  EXPECT_EQ(view->release(), 0u);
  EXPECT_EQ(Hook<int (*)(IEditController*)>("ProbeOpenViews")(c), 0) << "the last release empties the list";
}

TEST_F(Probe, ResizeRequestsGoThroughTheFrameOfTheFirstView) {
  auto resize = Hook<void (*)(IEditController*, int, int)>("ProbeResizeEditor");
  auto resized = Hook<int (*)(IEditController*)>("ProbeResizedCount");
  resize(c, 400, 300);  // no view open: nothing to ask
  EXPECT_EQ(resized(c), 0);

  IPlugView* view = c->createView("editor");
  ASSERT_NE(view, nullptr);
  resize(c, 400, 300);  // a view without a frame: nothing to ask either
  EXPECT_EQ(resized(c), 0);

  IPtr<vst3host::PlugFrame> frame = owned(new vst3host::PlugFrame());
  ASSERT_EQ(view->setFrame(frame), kResultTrue);
  ViewRect unsolicited(0, 0, 10, 10);
  EXPECT_EQ(view->onSize(&unsolicited), kResultOk);
  EXPECT_EQ(view->onSize(nullptr), kResultOk);
  EXPECT_EQ(resized(c), 0) << "a size the plug-in did not ask for is only stored";

  resize(c, 404, 634);
  ASSERT_EQ(frame->Requests().size(), 1u);
  EXPECT_EQ(frame->Requests()[0].right, 404);
  EXPECT_EQ(frame->Requests()[0].bottom, 634);
  EXPECT_EQ(resized(c), 1);
  view->setFrame(nullptr);
  view->release();
}

TEST_F(Probe, EditorEditsAreReportedToTheHost) {
  Hook<void (*)(IEditController*, int, double)>("ProbeEditorGesture")(c, 0, 0.52);
  const auto calls = p.handler->Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].kind, vst3host::HandlerCall::kBeginEdit);
  EXPECT_EQ(calls[0].id, 0u);
  EXPECT_EQ(calls[1].kind, vst3host::HandlerCall::kPerformEdit);
  EXPECT_EQ(calls[1].value, 0.52) << "the value as the editor sent it, not the rounded one";
  EXPECT_EQ(calls[2].kind, vst3host::HandlerCall::kEndEdit);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(0), 0.5);  // "Level" 0..10 rounded to step 5
}

TEST_F(Probe, HostContextMenuNeedsAnOpenView) {
  auto menu = Hook<void (*)(IEditController*, int)>("ProbeShowHostMenu");
  menu(c, 1);
  EXPECT_TRUE(p.handler->Calls().empty());
  IPlugView* view = c->createView("editor");
  menu(c, 1);
  const auto calls = p.handler->Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].kind, vst3host::HandlerCall::kContextMenu);
  EXPECT_EQ(calls[0].id, 1u);
  view->release();
}

TEST_F(Probe, ContinuousParameterHasNoStepsAndKeepsUnroundedValues) {
  ParameterInfo info{};
  ASSERT_EQ(c->getParameterInfo(3, info), kResultOk);
  EXPECT_EQ(Narrow(info.title), "Drive");
  EXPECT_EQ(info.stepCount, 0);
  EXPECT_EQ(Narrow(info.units), "%");
  EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, 0.25);
  ASSERT_EQ(c->setParamNormalized(1, 0.123), kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(1), 0.123);
  String128 text = {};
  ASSERT_EQ(c->getParamStringByValue(1, 0.5, text), kResultOk);
  EXPECT_EQ(Narrow(text), "0.50");
}

TEST_F(Probe, LatencyChangeRestartsTheComponentAndDelaysBypass) {
  ASSERT_EQ(p.instance->Prepare(kSample32, 44100.0, 16), kResultOk);
  Hook<void (*)(IEditController*, int)>("ProbeSetLatency")(c, 3);
  EXPECT_EQ(p.processor()->getLatencySamples(), 3u);
  const auto calls = p.handler->Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].kind, vst3host::HandlerCall::kRestart);
  EXPECT_EQ(calls[0].flags, kLatencyChanged);

  vst3host::ProcessBuffers buffers(kSample32, 16, {2, 2}, {2});
  ASSERT_EQ(SendParam(p, buffers, kBypassId, 1.0), kResultOk);
  for (int i = 0; i < 5; ++i) buffers.SetInput(0, 0, i, i + 1);
  ASSERT_EQ(Process(p, buffers, 5), kResultOk);
  const double expected[] = {0, 0, 0, 1, 2};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(buffers.Output(0, 0, i), expected[i]) << i;
}

TEST_F(Probe, NoteEventsReachTheEffectAsMidiMessages) {
  ASSERT_EQ(p.component()->getBusCount(kEvent, kInput), 1);
  ASSERT_EQ(p.instance->Prepare(kSample32, 44100.0, 64), kResultOk);
  vst3host::ProcessBuffers buffers(kSample32, 64, {2, 2}, {2});
  IPtr<vst3host::EventList> events = owned(new vst3host::EventList());
  Event on{};
  on.type = Event::kNoteOnEvent;
  on.sampleOffset = 7;
  on.noteOn.channel = 2;
  on.noteOn.pitch = 60;
  on.noteOn.velocity = 0.5f;
  Event other{};
  other.type = Event::kPolyPressureEvent;
  events->addEvent(on);
  events->addEvent(other);
  ASSERT_EQ(p.processor()->process(buffers.Data(64, nullptr, events)), kResultOk);
  int msg[4];
  EXPECT_EQ(Hook<int (*)(IEditController*, int*)>("ProbeLastMidi")(c, msg), 1);
  EXPECT_EQ(msg[0], 0x92);
  EXPECT_EQ(msg[1], 60);
  EXPECT_EQ(msg[2], 63);  // trunc(0.5 * 127)
  EXPECT_EQ(msg[3], 7);
}

TEST(ProbeModes, RenderingOfflineFollowsTheProcessModeOfTheLastSetup) {
  struct Case {
    int32 mode;
    bool offline;
  } cases[] = {{kRealtime, false}, {kPrefetch, false}, {kOffline, true}};
  for (const Case& c : cases) {
    Plugin p = CreatePlugin(ProbeModule());
    auto offline = Hook<bool (*)(IEditController*)>("ProbeRenderingOffline");
    EXPECT_FALSE(offline(p.controller())) << "before any setup the mode is realtime";
    ASSERT_EQ(p.instance->Prepare(kSample32, 48000.0, 64, c.mode), kResultOk);
    EXPECT_EQ(offline(p.controller()), c.offline) << c.mode;
    p.instance->Stop();
    ASSERT_EQ(p.instance->Prepare(kSample32, 48000.0, 64, kRealtime), kResultOk);
    EXPECT_FALSE(offline(p.controller()));
  }
}

TEST_F(Probe, TransportComesFromTheLastContext) {
  ASSERT_EQ(p.instance->Prepare(kSample32, 44100.0, 64), kResultOk);
  vst3host::ProcessBuffers buffers(kSample32, 64, {2, 2}, {2});
  ProcessContext context{};
  context.tempo = 128.0;
  context.projectTimeSamples = (int64{1} << 32) + 1000;  // only the low 32 bits are reported
  context.state = ProcessContext::kPlaying;
  ASSERT_EQ(p.processor()->process(buffers.Data(64, nullptr, nullptr, &context)), kResultOk);
  ASSERT_EQ(p.processor()->process(buffers.Data(64)), kResultOk);  // no context: the last one stays
  double info[3];
  Hook<void (*)(IEditController*, double*)>("ProbeTimeInfo")(c, info);
  EXPECT_EQ(info[0], 128.0);
  EXPECT_EQ(info[1], 1000.0);
  EXPECT_EQ(info[2], 1.0);
}
