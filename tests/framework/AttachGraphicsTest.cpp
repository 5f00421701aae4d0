#include "TestPlug.h"

#include "framework/graphics/IControl.h"
#include "framework/graphics/platform/headless/IGraphicsHeadless.h"

#include <gtest/gtest.h>

namespace {
struct Events {
  int bitmapsCreated = 0;
  int destroyed = 0;
};

// A control that only holds values: painting is not what is tested here.
class ValueControl : public IControl {
public:
  ValueControl(IPlugBase* plug, int paramIdx) : IControl(plug, IRect(), paramIdx) {}
  bool Paint(IGraphics&) override { return false; }
};

class RecordingGraphics : public IGraphicsHeadless {
public:
  RecordingGraphics(IPlugBase* plug, Events* events) : IGraphicsHeadless(plug, 404, 634, 25), mEvents(events) {}
  ~RecordingGraphics() override { ++mEvents->destroyed; }
  void CreateDrawBitmaps() override { ++mEvents->bitmapsCreated; }

private:
  Events* mEvents;
};
}  // namespace

TEST(AttachGraphics, PushesNormalisedValuesAndCreatesBitmaps) {
  Events events;
  {
    TestPlug plug;
    auto* g = new RecordingGraphics(&plug, &events);
    g->AddControl(new ValueControl(&plug, 1));  // "Limit Level" 22 of 0..22
    g->AddControl(new ValueControl(&plug, 4));  // "Ratio" 2 of 0..4
    IControl* multi = new ValueControl(&plug, -1);
    multi->AddAuxParam(4);
    multi->AddAuxParam(8);
    multi->AddAuxParam(4);  // a later duplicate binding is not updated
    g->AddControl(multi);

    plug.AttachGraphics(g);
    EXPECT_EQ(plug.GetGraphics(), g);
    EXPECT_EQ(events.bitmapsCreated, 1);
    EXPECT_EQ(g->Control(0)->GetValue(), 1.0);
    EXPECT_EQ(g->Control(1)->GetValue(), 0.5);
    EXPECT_EQ(multi->GetValue(), 0.0);
    EXPECT_EQ(multi->GetAuxParam(0)->value, 0.5);
    EXPECT_EQ(multi->GetAuxParam(1)->value, 0.2);  // "Compressor Recovery Time" 1 of 0..5
    EXPECT_EQ(multi->GetAuxParam(2)->value, 0.0);

    plug.AttachGraphics(nullptr);  // keeps the editor
    EXPECT_EQ(plug.GetGraphics(), g);
    EXPECT_EQ(events.destroyed, 0);
  }
  EXPECT_EQ(events.destroyed, 1);  // the base owns its editor
}

TEST(AttachGraphics, RestoredPresetRedrawsControls) {
  Events events;
  TestPlug plug;
  auto* g = new RecordingGraphics(&plug, &events);
  g->AddControl(new ValueControl(&plug, 1));
  plug.AttachGraphics(g);
  plug.GetParam(1)->SetNormalized(0.5);
  plug.RedrawParamControls();
  EXPECT_EQ(g->Control(0)->GetValue(), 0.5);
  ASSERT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(g->Control(0)->GetValue(), 1.0);
}

TEST(AttachGraphics, ReplacingTheEditorDeletesTheOldOne) {
  Events events;
  TestPlug plug;
  plug.AttachGraphics(new RecordingGraphics(&plug, &events));
  auto* second = new RecordingGraphics(&plug, &events);
  plug.AttachGraphics(second);
  EXPECT_EQ(events.destroyed, 1);
  EXPECT_EQ(plug.GetGraphics(), second);
}
