// The editor view at the host's display scale (IPlugViewContentScaleSupport): every size the view
// reports or asks for is in device pixels, the host hears of a new size through its frame once per
// change and never from inside its own call, and factors that are no scale change nothing. The
// probe's editor is 300 x 200 panel pixels.

#include "tests/vst3/UiThread.h"
#include "tests/vst3/Vst3TestSupport.h"

#include "tools/vst3host/PlugFrame.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Steinberg;
using namespace vst3test;

namespace {

constexpr int kPanelWidth = 300;
constexpr int kPanelHeight = 200;

template <class Fn>
Fn Hook(const char* name) {
  void* symbol = ProbeModule().Symbol(name);
  EXPECT_NE(symbol, nullptr) << name;
  return reinterpret_cast<Fn>(symbol);
}

FUnknownPtr<IPlugViewContentScaleSupport> ScaleSupport(IPlugView* view) {
  return FUnknownPtr<IPlugViewContentScaleSupport>(view);
}

ViewRect SizeOf(IPlugView* view) {
  ViewRect rect;
  EXPECT_EQ(view->getSize(&rect), kResultOk);
  return rect;
}

// A probe with its editor view attached in a frame whose host runs its UI thread between calls.
struct AttachedProbe {
  AttachedProbe() {
    view = owned(p.controller()->createView("editor"));
    EXPECT_TRUE(view);
    frame = owned(new vst3host::PlugFrame(ui.RunLoop()));
    EXPECT_EQ(view->setFrame(frame), kResultTrue);
    SizeOf(view);  // what a host asks before it makes its window
    EXPECT_EQ(view->attached(&parent, "ProbeWindow"), kResultOk);
  }
  ~AttachedProbe() {
    view->removed();
    view->setFrame(nullptr);
  }
  // Lets the plug-in's UI-thread timers run long enough to have said anything they had to.
  size_t RequestsAfterTimers() {
    ui.RunTimers();
    return frame->Requests().size();
  }

  UiThread ui;
  Plugin p = CreatePlugin(ProbeModule());
  IPtr<IPlugView> view;
  IPtr<vst3host::PlugFrame> frame;
  int parent = 0;
};

}  // namespace

TEST(ViewScale, SizesFollowEachScaleInDevicePixels) {
  Plugin p = CreatePlugin(ProbeModule());
  IPtr<IPlugView> view = owned(p.controller()->createView("editor"));
  ASSERT_TRUE(view);
  FUnknownPtr<IPlugViewContentScaleSupport> scale = ScaleSupport(view);
  ASSERT_TRUE(scale) << "the view offers the content scale";
  const struct {
    float factor;
    int width, height;
  } cases[] = {
      {1.0f, 300, 200}, {1.25f, 375, 250}, {1.5f, 450, 300}, {1.75f, 525, 350}, {2.0f, 600, 400}, {2.5f, 750, 500},
      {3.0f, 900, 600}, {1.1f, 330, 220},  {1.0f, 300, 200}, {0.5f, 300, 200},  // below the smallest scale: drawn at 1
      {4.0f, 900, 600},                                                         // above the largest: drawn at 3
  };
  for (const auto& c : cases) {
    EXPECT_EQ(scale->setContentScaleFactor(c.factor), kResultTrue) << c.factor;
    const ViewRect size = SizeOf(view);
    EXPECT_EQ(size.left, 0) << c.factor;
    EXPECT_EQ(size.top, 0) << c.factor;
    EXPECT_EQ(size.getWidth(), c.width) << c.factor;
    EXPECT_EQ(size.getHeight(), c.height) << c.factor;
    // A fixed size: whatever the host proposes becomes the editor's size, at the same origin.
    ViewRect proposed(10, 20, 11, 21);
    EXPECT_EQ(view->checkSizeConstraint(&proposed), kResultFalse) << c.factor;
    EXPECT_EQ(proposed.left, 10);
    EXPECT_EQ(proposed.top, 20);
    EXPECT_EQ(proposed.getWidth(), c.width) << c.factor;
    EXPECT_EQ(proposed.getHeight(), c.height) << c.factor;
  }
  EXPECT_EQ(view->checkSizeConstraint(nullptr), kResultFalse);
}

TEST(ViewScale, FactorsThatAreNoScaleChangeNothing) {
  Plugin p = CreatePlugin(ProbeModule());
  IPtr<IPlugView> view = owned(p.controller()->createView("editor"));
  FUnknownPtr<IPlugViewContentScaleSupport> scale = ScaleSupport(view);
  ASSERT_TRUE(scale);
  ASSERT_EQ(scale->setContentScaleFactor(2.0f), kResultTrue);
  const float invalid[] = {0.0f,
                           -0.0f,
                           -1.5f,
                           std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity()};
  for (float factor : invalid) {
    EXPECT_EQ(scale->setContentScaleFactor(factor), kInvalidArgument) << factor;
    EXPECT_EQ(SizeOf(view).getWidth(), 2 * kPanelWidth) << factor;
  }

  Hook<void (*)(bool)>("ProbeUseEditor")(false);
  Plugin bare = CreatePlugin(ProbeModule());
  Hook<void (*)(bool)>("ProbeUseEditor")(true);
  IPtr<IPlugView> bareView = owned(bare.controller()->createView("editor"));
  FUnknownPtr<IPlugViewContentScaleSupport> bareScale = ScaleSupport(bareView);
  ASSERT_TRUE(bareScale);
  EXPECT_EQ(bareScale->setContentScaleFactor(2.0f), kResultFalse) << "no editor to scale";
}

// The host's frame hears of each new size once, later, from the host's UI thread; a scale that
// comes back before the host heard of the change costs nothing.
TEST(ViewScale, AnAttachedViewAsksItsFrameOncePerChange) {
  AttachedProbe h;
  FUnknownPtr<IPlugViewContentScaleSupport> scale = ScaleSupport(h.view);
  ASSERT_TRUE(scale);
  EXPECT_EQ(h.RequestsAfterTimers(), 0u) << "the host knows the size it asked for";

  ASSERT_EQ(scale->setContentScaleFactor(2.0f), kResultTrue);
  EXPECT_TRUE(h.frame->Requests().empty()) << "never from inside the host's call";
  ASSERT_TRUE(h.ui.RunUntil([&] { return !h.frame->Requests().empty(); }, 10000));
  EXPECT_EQ(h.RequestsAfterTimers(), 1u);
  EXPECT_EQ(h.frame->Requests()[0].getWidth(), 2 * kPanelWidth);
  EXPECT_EQ(h.frame->Requests()[0].getHeight(), 2 * kPanelHeight);
  EXPECT_EQ(Hook<int (*)(Vst::IEditController*)>("ProbeResizedCount")(h.p.controller()), 0)
      << "a new scale is no new panel size";

  ASSERT_EQ(scale->setContentScaleFactor(2.0f), kResultTrue);
  EXPECT_EQ(h.RequestsAfterTimers(), 1u) << "the same scale again";
  ASSERT_EQ(scale->setContentScaleFactor(3.0f), kResultTrue);
  ASSERT_EQ(scale->setContentScaleFactor(2.0f), kResultTrue);
  EXPECT_EQ(h.RequestsAfterTimers(), 1u) << "back to the size the host has before it heard";

  ASSERT_EQ(scale->setContentScaleFactor(1.5f), kResultTrue);
  ASSERT_EQ(h.RequestsAfterTimers(), 2u);
  EXPECT_EQ(h.frame->Requests()[1].getWidth(), 450);
  EXPECT_EQ(h.frame->Requests()[1].getHeight(), 300);

  // A host that grants another size than asked is not asked again and again.
  ViewRect smaller(0, 0, 440, 290);
  ASSERT_EQ(h.view->onSize(&smaller), kResultOk);
  EXPECT_EQ(h.RequestsAfterTimers(), 2u);
}

// A scale set before the window opens is the size the host is told on attaching: nothing to ask.
// One set after getSize but before attached is asked for once the window is open.
TEST(ViewScale, AScaleBeforeAttachingIsAskedForOnlyWhenTheHostHasAnotherSize) {
  UiThread ui;
  Plugin p = CreatePlugin(ProbeModule());
  IPtr<IPlugView> view = owned(p.controller()->createView("editor"));
  IPtr<vst3host::PlugFrame> frame = owned(new vst3host::PlugFrame(ui.RunLoop()));
  ASSERT_EQ(view->setFrame(frame), kResultTrue);
  ASSERT_EQ(ScaleSupport(view)->setContentScaleFactor(2.0f), kResultTrue);
  EXPECT_EQ(SizeOf(view).getWidth(), 600);
  ASSERT_EQ(ScaleSupport(view)->setContentScaleFactor(1.5f), kResultTrue);
  int parent = 0;
  ASSERT_EQ(view->attached(&parent, "ProbeWindow"), kResultOk);
  ASSERT_TRUE(ui.RunUntil([&] { return !frame->Requests().empty(); }, 10000));
  ui.RunTimers();
  ASSERT_EQ(frame->Requests().size(), 1u);
  EXPECT_EQ(frame->Requests()[0].getWidth(), 450);
  EXPECT_EQ(view->removed(), kResultOk);
  view->setFrame(nullptr);
}

// The plug-in asks for panel sizes; the host's window is in device pixels.
TEST(ViewScale, APluginResizeAsksForDevicePixels) {
  AttachedProbe h;
  ASSERT_EQ(ScaleSupport(h.view)->setContentScaleFactor(1.5f), kResultTrue);
  ASSERT_TRUE(h.ui.RunUntil([&] { return !h.frame->Requests().empty(); }, 10000));
  Hook<void (*)(Vst::IEditController*, int, int)>("ProbeResizeEditor")(h.p.controller(), 310, 211);
  ASSERT_EQ(h.frame->Requests().size(), 2u);
  EXPECT_EQ(h.frame->Requests()[1].getWidth(), 465);
  EXPECT_EQ(h.frame->Requests()[1].getHeight(), 317);  // floor(211 * 1.5 + 0.5)
  EXPECT_EQ(Hook<int (*)(Vst::IEditController*)>("ProbeResizedCount")(h.p.controller()), 1);
}
