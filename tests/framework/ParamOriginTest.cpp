#include "TestPlug.h"

#include "framework/ParamOrigin.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/platform/headless/IGraphicsHeadless.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
class ValueControl : public IControl {
public:
  ValueControl(IPlugBase* plug, int paramIdx) : IControl(plug, IRect(), paramIdx) {}
  bool Paint(IGraphics&) override { return false; }
};

class OriginPlug : public TestPlug {
public:
  using IPlugBase::EnterParamValue;
  using IPlugBase::FinishParamLoad;
};

std::vector<int> AllParams() {
  std::vector<int> all;
  for (int i = 0; i < kNumParams; ++i) all.push_back(i);
  return all;
}

struct OriginCase {
  ParamOrigin origin;
  double entered;               // normalised, or plain for the loads
  double stored;                // "Limit Level" (0..22 dB, default 22) afterwards
  double control;               // its control, shown at 1.0 (the default) before
  std::vector<int> derivedNow;  // ParamChanged calls from the entry itself
  bool reported;                // an edit report to the host
  bool derivedAfterAll;         // FinishParamLoad calls ParamChanged for every parameter
};
}  // namespace

// What entering one value does, origin by origin: the stored value, the control, the effect's
// ParamChanged and the edit report to the host; then what finishing a load adds.
TEST(ParamOrigin, EachOriginStoresPushesDerivesAndTellsAsItsRowSays) {
  const OriginCase cases[] = {
      {ParamOrigin::HostProcess, 0.52, 11.0, 0.52, {1}, false, false},
      {ParamOrigin::Editor, 0.52, 11.0, 1.0, {1}, true, false},
      {ParamOrigin::Controller, 0.52, 11.0, 1.0, {}, false, false},
      {ParamOrigin::State, 30.0, 22.0, 1.0, {}, false, true},  // clamped, no push until redrawn
      {ParamOrigin::State, 4.4, 4.4, 1.0, {}, false, true},    // plain values are stored as they are
      {ParamOrigin::Preset, -3.0, 0.0, 1.0, {}, false, true},
  };
  for (const OriginCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.origin));
    SCOPED_TRACE(c.entered);
    OriginPlug plug;
    auto* g = new IGraphicsHeadless(&plug, 404, 634, 25);
    g->AddControl(new ValueControl(&plug, 1));
    plug.AttachGraphics(g);
    ASSERT_EQ(g->Control(0)->GetValue(), 1.0);

    plug.EnterParamValue(c.origin, 1, c.entered);
    EXPECT_EQ(plug.GetParam(1)->Value(), c.stored);
    EXPECT_EQ(g->Control(0)->GetValue(), c.control);
    EXPECT_EQ(plug.paramChanges, c.derivedNow);
    if (c.reported) {
      ASSERT_EQ(plug.reports.size(), 1u);
      EXPECT_EQ(plug.reports[0].first, 1);
      EXPECT_EQ(plug.reports[0].second, c.entered);  // the value received, not the stored step
    } else {
      EXPECT_TRUE(plug.reports.empty());
    }

    plug.paramChanges.clear();
    plug.FinishParamLoad(c.origin);
    EXPECT_EQ(plug.paramChanges, c.derivedAfterAll ? AllParams() : std::vector<int>{});
    EXPECT_EQ(g->Control(0)->GetValue(), c.control);  // loads push through RedrawParamControls
  }
}

TEST(ParamOrigin, AnUnknownParameterChangesNothing) {
  for (ParamOrigin origin : {ParamOrigin::HostProcess, ParamOrigin::Editor, ParamOrigin::Controller, ParamOrigin::State,
                             ParamOrigin::Preset}) {
    OriginPlug plug;
    plug.EnterParamValue(origin, kNumParams, 0.5);
    plug.EnterParamValue(origin, -1, 0.5);
    EXPECT_TRUE(plug.paramChanges.empty());
    EXPECT_TRUE(plug.reports.empty());
  }
}

// The state and preset loads share one loader: a preset's body is a saved state.
TEST(ParamOrigin, StateAndPresetLoadsDeriveOnlyAfterEveryValueIsStored) {
  OriginPlug plug;
  auto* g = new IGraphicsHeadless(&plug, 404, 634, 25);
  g->AddControl(new ValueControl(&plug, 1));
  plug.AttachGraphics(g);
  plug.GetParam(1)->SetNormalized(0.5);
  ASSERT_TRUE(plug.RestorePreset(0));  // the default preset: Limit Level 22
  EXPECT_EQ(plug.paramChanges, AllParams());
  EXPECT_EQ(g->Control(0)->GetValue(), 1.0);
  EXPECT_TRUE(plug.reports.empty());
}
