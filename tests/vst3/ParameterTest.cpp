// The host's view of the parameters, units and program list.

#include "tests/vst3/Vst3TestSupport.h"

#include "plugin/VelmoraStepTexts.h"

#include "pluginterfaces/vst/ivstunits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
struct Expected {
  const char* title;
  ParamID id;
  int32 steps;
  double defaultNormalized;
  int32 flags;
};

// Index order is the host's parameter order.
const Expected kExpected[] = {
    {"Preset", kPresetId, 0, 0.0, 0x8000},  // one value per preset: Velmora has one
    {"Bypass", kBypassId, 1, 0.0, 0x10009},
    {"Compressor Threshold", kParamCompressorThreshold, 15, 1.0, 1},
    {"Limit Level", kParamLimitLevel, 22, 1.0, 1},
    {"Gain", kParamGain, 10, 0.0, 1},
    {"Mix", kParamMix, 22, 1.0, 1},
    {"Ratio", kParamRatio, 4, 0.5, 1},
    {"High", kParamHigh, 4, 0.5, 1},
    {"Mid", kParamMid, 4, 0.5, 1},
    {"High Pass Filter", kParamHighPassFilter, 4, 0.0, 1},
    {"Compressor Recovery Time", kParamCompressorRecoveryTime, 5, 0.2, 1},
    {"Level Recovery Time", kParamLevelRecoveryTime, 5, 0.2, 1},
    {"Bypass", kParamBypass, 1, 1.0, 1},
    {"External Sidechain", kParamExternalSidechain, 1, 0.0, 1},
    {"GR Select", kParamGRSelect, 1, 0.0, 1},
};

std::string StringByValue(IEditController* c, ParamID id, double v) {
  String128 text = {};
  EXPECT_EQ(c->getParamStringByValue(id, v, text), kResultOk);
  return Narrow(text);
}

bool ValueByString(IEditController* c, ParamID id, const char* text, double* v) {
  String128 wide = {};
  for (int i = 0; text[i]; ++i) wide[i] = static_cast<TChar>(text[i]);
  return c->getParamValueByString(id, wide, *v) == kResultOk;
}

class Parameters : public ::testing::Test {
protected:
  Plugin p = CreateVelmora();
  IEditController* c = p.controller();
};
}  // namespace

TEST_F(Parameters, FifteenInHostOrderWithTheirInformation) {
  ASSERT_EQ(c->getParameterCount(), 15);
  for (int32 i = 0; i < 15; ++i) {
    const Expected& e = kExpected[i];
    ParameterInfo info{};
    ASSERT_EQ(c->getParameterInfo(i, info), kResultOk);
    EXPECT_EQ(Narrow(info.title), e.title) << i;
    EXPECT_EQ(info.id, e.id) << i;
    EXPECT_EQ(info.stepCount, e.steps) << i;
    EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, e.defaultNormalized) << i;
    EXPECT_EQ(info.flags, e.flags) << i;
    EXPECT_EQ(info.unitId, kRootUnitId) << i;
    EXPECT_EQ(Narrow(info.shortTitle), "") << i;
    EXPECT_EQ(Narrow(info.units), "") << i;
  }
  ParameterInfo info{};
  EXPECT_EQ(c->getParameterInfo(15, info), kResultFalse);
  EXPECT_EQ(c->getParameterInfo(-1, info), kResultFalse);
}

TEST_F(Parameters, CurrentNormalisedValuesAfterInitialise) {
  for (int32 i = 2; i < 15; ++i)
    EXPECT_DOUBLE_EQ(c->getParamNormalized(kExpected[i].id), kExpected[i].defaultNormalized);
  EXPECT_EQ(c->getParamNormalized(kPresetId), 0.0);
  EXPECT_EQ(c->getParamNormalized(kBypassId), 0.0);
  EXPECT_EQ(c->getParamNormalized(99), 0.0);
}

TEST_F(Parameters, PlainAndNormalisedConversions) {
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(kParamMix, 0.5), 11.0);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(kParamMix, 0.52), 0.52 * 22);  // no step rounding here
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(kParamMix, 11.0), 0.5);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(kParamMix, 30.0), 1.0);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(kParamMix, -4.0), 0.0);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(kParamGain, 5.0), 0.5);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(99, 0.3), 0.3);  // names no parameter: passed through
}

// The binding's own parameters and ids that name none answer every input, whatever a host sends,
// with a value in [0, 1] (normalised) or a plain value the parameter can take.
TEST_F(Parameters, ConversionsAreDefinedForEveryInput) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double in;
    double bypassPlain;   // normalised -> plain of the host bypass
    double unitInterval;  // plain -> normalised of the bypass, the program and unknown ids
    const char* mixText;  // the text of an effect parameter for the same normalised value
  } cases[] = {
      {nan, 0, 0, "0 %"},    {inf, 1, 1, "100 %"}, {-inf, 0, 0, "0 %"},  {1e300, 1, 1, "100 %"},
      {-1e300, 0, 0, "0 %"}, {-0.5, 0, 0, "0 %"},  {0.0, 0, 0, "0 %"},   {0.49, 0, 0.49, "50 %"},
      {0.5, 1, 0.5, "50 %"}, {1.0, 1, 1, "100 %"}, {7.0, 1, 1, "100 %"},
  };
  for (const Case& t : cases) {
    EXPECT_EQ(c->normalizedParamToPlain(kBypassId, t.in), t.bypassPlain) << t.in;
    EXPECT_EQ(c->plainParamToNormalized(kBypassId, t.in), t.unitInterval) << t.in;
    EXPECT_EQ(c->plainParamToNormalized(kPresetId, t.in), t.unitInterval) << t.in;
    EXPECT_EQ(c->plainParamToNormalized(99, t.in), t.unitInterval) << t.in;
    const double program = c->normalizedParamToPlain(kPresetId, t.in);
    EXPECT_TRUE(program >= 0.0 && program <= 1.0) << t.in;
    EXPECT_EQ(StringByValue(c, kBypassId, t.in), t.bypassPlain == 1 ? "on" : "off") << t.in;
    EXPECT_EQ(StringByValue(c, kPresetId, t.in), "-") << t.in;  // the one preset's name
    EXPECT_EQ(StringByValue(c, kParamMix, t.in), t.mixText) << t.in;
  }
}

TEST_F(Parameters, DisplayTextsNameTheStepInThePanelsUnits) {
  EXPECT_EQ(StringByValue(c, kParamMix, 0.5), "50 %");
  EXPECT_EQ(StringByValue(c, kParamGain, 1.0), "+20 dB");
  EXPECT_EQ(StringByValue(c, kParamCompressorThreshold, 1.0), "0 dB");
  EXPECT_EQ(StringByValue(c, kParamLimitLevel, 0.0), "-30 dB");
  EXPECT_EQ(StringByValue(c, kParamRatio, 0.5), "3:1");
  EXPECT_EQ(StringByValue(c, kParamHigh, 0.75), "+1.5 dB");
  EXPECT_EQ(StringByValue(c, kParamHighPassFilter, 0.5), "80 Hz");
  EXPECT_EQ(StringByValue(c, kParamCompressorRecoveryTime, 0.2), "400 ms");
  EXPECT_EQ(StringByValue(c, kParamLevelRecoveryTime, 1.0), "Auto 2");
  EXPECT_EQ(StringByValue(c, kParamBypass, 1.0), "Processed");
  EXPECT_EQ(StringByValue(c, kParamBypass, 0.0), "Passed through");
  EXPECT_EQ(StringByValue(c, kParamExternalSidechain, 1.0), "Aux input");
  EXPECT_EQ(StringByValue(c, kParamGRSelect, 0.0), "Compressor");
  // Between steps the text names the step the value sets, not the one below it.
  EXPECT_EQ(StringByValue(c, kParamRatio, 0.7), "4:1");    // 2.8 sets step 3
  EXPECT_EQ(StringByValue(c, kParamGain, 0.26), "+6 dB");  // 2.6 sets step 3
  EXPECT_EQ(StringByValue(c, kParamMix, 0.52), "50 %");    // 11.44 sets step 11
  EXPECT_EQ(StringByValue(c, kParamBypass, 0.5), "Processed");
  EXPECT_EQ(StringByValue(c, kParamBypass, 0.4999), "Passed through");
  EXPECT_EQ(StringByValue(c, kBypassId, 0.0), "off");
  EXPECT_EQ(StringByValue(c, kBypassId, 1.0), "on");
  EXPECT_EQ(StringByValue(c, kPresetId, 0.0), "-");
  String128 text = {};
  EXPECT_EQ(c->getParamStringByValue(99, 0.0, text), kResultFalse);
  EXPECT_EQ(c->getParamStringByValue(kParamMix, 0.5, nullptr), kResultFalse);
}

TEST_F(Parameters, ValuesFromText) {
  struct Case {
    ParamID id;
    const char* text;
    double normalized;  // -1: refused
  } cases[] = {
      {kParamMix, "11", 0.5},  // the bare step number
      {kParamMix, "50 %", 0.5},
      {kParamCompressorThreshold, "-24dB", 3.0 / 15},
      {kParamRatio, "4:1", 0.75},
      {kParamLevelRecoveryTime, "auto 1", 0.8},
      {kParamHighPassFilter, "160 HZ", 0.75},
      {kParamBypass, "Processed", 1.0},
      {kParamExternalSidechain, "on", 1.0},
      // Text that names no step is refused, never read as some value.
      {kParamMix, "99", -1},
      {kParamMix, "abc", -1},
      {kParamMix, "nan", -1},
      {kParamMix, "", -1},
      {kParamCompressorThreshold, "-25 dB", -1},
      {kParamCompressorThreshold, "-24", -1},  // a bare number is a step number
  };
  for (const Case& t : cases) {
    double v = -7.0;
    EXPECT_EQ(ValueByString(c, t.id, t.text, &v), t.normalized >= 0) << t.text;
    EXPECT_DOUBLE_EQ(v, t.normalized >= 0 ? t.normalized : -7.0) << t.text;
  }
  double v = -1.0;
  EXPECT_TRUE(ValueByString(c, kBypassId, "on", &v));
  EXPECT_DOUBLE_EQ(v, 1.0);
  EXPECT_TRUE(ValueByString(c, kBypassId, "off", &v));
  EXPECT_DOUBLE_EQ(v, 0.0);
  EXPECT_FALSE(ValueByString(c, kBypassId, "maybe", &v));
  EXPECT_FALSE(ValueByString(c, 99, "1", &v));
}

// Whatever value a host sends (a knob drag, an automation ramp), the text it shows for that value
// names the step the effect then applies, and host-side tools name it with the same table.
TEST_F(Parameters, TheTextOfEveryValueNamesTheStepItSets) {
  ASSERT_EQ(p.instance->Prepare(kSample32, 44100.0, 64), kResultOk);
  vst3host::ProcessBuffers buffers(kSample32, 64, {2, 2}, {2});
  for (int param = 0; param < kNumParams; ++param) {
    const ParamID id = static_cast<ParamID>(param);
    const int maxStep = kParamDefinitions[param].maxStep;
    std::vector<double> values;
    for (int i = 0; i <= 200; ++i) values.push_back(i / 200.0);
    for (int k = 0; k < 2 * maxStep; ++k) {  // each half step, and the doubles on either side
      const double half = (k + 1) / (2.0 * maxStep);
      values.insert(values.end(), {std::nextafter(half, 0.0), half, std::nextafter(half, 1.0)});
    }
    for (double v : values) {
      const std::string text = StringByValue(c, id, v);
      ASSERT_EQ(c->setParamNormalized(id, v), kResultOk);
      const double set = c->getParamNormalized(id);
      const int step = static_cast<int>(std::lround(set * maxStep));
      char expected[32];
      ASSERT_TRUE(VelmoraStepText(param, step, expected, sizeof expected));
      EXPECT_EQ(text, expected) << "param " << param << " value " << v;
      EXPECT_EQ(VelmoraStepOfNormalized(param, v), step) << "param " << param << " value " << v;

      ASSERT_EQ(SendParam(p, buffers, id, 0.0), kResultOk);
      ASSERT_EQ(SendParam(p, buffers, id, v), kResultOk);
      EXPECT_EQ(c->getParamNormalized(id), set) << "process stores what the controller does; " << v;
    }
  }
}

TEST_F(Parameters, ProgramFromTextAcceptsOnlyItsNamesAndValuesInRange) {
  struct Case {
    const char* text;
    bool accepted;
    double value;
  } cases[] = {
      {"-", true, 0.0},  {"0", true, 0.0},   {"0.25", true, 0.25}, {" 1 ", true, 1.0}, {"nan", false, 0},
      {"inf", false, 0}, {"-inf", false, 0}, {"1e300", false, 0},  {"-0.5", false, 0}, {"2", false, 0},
      {"abc", false, 0}, {"", false, 0},     {"0.5x", false, 0},
  };
  for (const Case& t : cases) {
    double v = -7.0;
    EXPECT_EQ(ValueByString(c, kPresetId, t.text, &v), t.accepted) << t.text;
    if (t.accepted) {
      EXPECT_EQ(v, t.value) << t.text;
    }
    EXPECT_TRUE(v == -7.0 || (v >= 0.0 && v <= 1.0)) << t.text;
  }
}

TEST_F(Parameters, SetNormalisedStoresWhatTheControllerIsGiven) {
  EXPECT_EQ(c->setParamNormalized(kParamMix, 0.52), kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(kParamMix), 0.5);  // rounded to step 11
  EXPECT_EQ(c->setParamNormalized(kParamMix, 0.53), kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(kParamMix), 12.0 / 22.0);

  // The binding's own parameters stick too: the bypass as off or on, the program as given.
  EXPECT_EQ(c->setParamNormalized(kBypassId, 1.0), kResultOk);
  EXPECT_EQ(c->getParamNormalized(kBypassId), 1.0);
  EXPECT_EQ(c->setParamNormalized(kBypassId, 0.7), kResultOk);
  EXPECT_EQ(c->getParamNormalized(kBypassId), 1.0);
  EXPECT_EQ(c->setParamNormalized(kBypassId, 0.2), kResultOk);
  EXPECT_EQ(c->getParamNormalized(kBypassId), 0.0);
  EXPECT_EQ(c->setParamNormalized(kPresetId, 0.75), kResultOk);
  EXPECT_EQ(c->getParamNormalized(kPresetId), 0.75);
  EXPECT_EQ(c->getParamNormalized(kParamMix), 12.0 / 22.0) << "setting the program value restores nothing";
  EXPECT_EQ(c->setParamNormalized(99, 0.0), kResultFalse);

  // A value that is not a number is ignored rather than stored, and reported once.
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{});
  for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity()}) {
    EXPECT_NE(c->setParamNormalized(kParamMix, bad), kResultOk);
    EXPECT_DOUBLE_EQ(c->getParamNormalized(kParamMix), 12.0 / 22.0);
  }
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{HostBreach::NonFiniteParameterValue});
}

// A normalised value outside [0, 1] from the host is clamped where it enters, so what is stored
// (and saved) is a value of the parameter's range.
TEST_F(Parameters, OutOfRangeNormalisedValuesAreClampedWhereTheyEnter) {
  ASSERT_EQ(p.instance->Prepare(kSample32, 44100.0, 64), kResultOk);
  vst3host::ProcessBuffers buffers(kSample32, 64, {2, 2}, {2});
  struct Case {
    double in;
    double normalised;
  } cases[] = {{-1.0, 0.0}, {-1e300, 0.0}, {1.5, 1.0}, {1e300, 1.0}, {-1e-9, 0.0}};
  for (const Case& t : cases) {
    EXPECT_EQ(c->setParamNormalized(kParamCompressorThreshold, 0.5), kResultOk);
    EXPECT_EQ(c->setParamNormalized(kParamCompressorThreshold, t.in), kResultOk) << t.in;
    EXPECT_EQ(StoredValue(SaveState(c), kParamCompressorThreshold), t.normalised * 15) << t.in;

    EXPECT_EQ(SendParam(p, buffers, kParamMix, 0.5), kResultOk);
    EXPECT_EQ(SendParam(p, buffers, kParamMix, t.in), kResultOk) << t.in;
    EXPECT_EQ(StoredValue(SaveState(c), kParamMix), t.normalised * 22) << t.in;
  }
  // A program value below 0 asks for the first program rather than none.
  EXPECT_EQ(SendParam(p, buffers, kPresetId, -3.0), kResultOk);
  EXPECT_EQ(c->getParamNormalized(kParamMix), 1.0);
  EXPECT_EQ(c->getParamNormalized(kPresetId), 0.0);
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{HostBreach::OutOfRangeParameterValue});
}

TEST_F(Parameters, ControllerExtrasAndState) {
  IPtr<IEditController2> c2;
  void* obj = nullptr;
  ASSERT_EQ(c->queryInterface(IEditController2::iid, &obj), kResultOk);
  c2 = owned(static_cast<IEditController2*>(obj));
  EXPECT_EQ(c2->setKnobMode(kLinearMode), kResultOk);
  EXPECT_EQ(c2->openHelp(false), kResultFalse);
  EXPECT_EQ(c2->openAboutBox(false), kResultFalse);
}

// Hosts list programs from the program-change parameter: step count + 1 entries, entry i named by
// the text of the value i / step count. That is exactly the preset list, one entry per preset.
TEST_F(Parameters, TheProgramParameterHasOneValuePerPresetNamedByIt) {
  ParameterInfo info{};
  ASSERT_EQ(c->getParameterInfo(0, info), kResultOk);
  ASSERT_EQ(info.id, kPresetId);
  ProgramListInfo list{};
  ASSERT_EQ(p.instance->UnitInfo()->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(info.stepCount + 1, list.programCount);
  for (int32 i = 0; i <= info.stepCount; ++i) {
    String128 name = {};
    ASSERT_EQ(p.instance->UnitInfo()->getProgramName(kPresetId, i, name), kResultOk);
    EXPECT_EQ(StringByValue(c, kPresetId, info.stepCount > 0 ? static_cast<double>(i) / info.stepCount : 0.0),
              Narrow(name))
        << i;
  }
}

TEST_F(Parameters, UnitsAndTheFactoryPresetList) {
  IUnitInfo* u = p.instance->UnitInfo();
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->getUnitCount(), 1);
  UnitInfo unit{};
  ASSERT_EQ(u->getUnitInfo(0, unit), kResultOk);
  EXPECT_EQ(unit.id, kRootUnitId);
  EXPECT_EQ(unit.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(Narrow(unit.name), "Root Unit");
  EXPECT_EQ(unit.programListId, kNoProgramListId);
  EXPECT_EQ(u->getUnitInfo(1, unit), kResultFalse);
  EXPECT_EQ(u->getUnitInfo(-1, unit), kResultFalse);
  EXPECT_EQ(u->getSelectedUnit(), kRootUnitId);

  EXPECT_EQ(u->getProgramListCount(), 0);  // not advertised, but answered
  ProgramListInfo list{};
  ASSERT_EQ(u->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.id, static_cast<ProgramListID>(kPresetId));
  EXPECT_EQ(Narrow(list.name), "Factory Presets");
  EXPECT_EQ(list.programCount, 1);
  EXPECT_EQ(u->getProgramListInfo(1, list), kResultFalse);

  String128 name = {};
  ASSERT_EQ(u->getProgramName(kPresetId, 0, name), kResultOk);
  EXPECT_EQ(Narrow(name), "-");
  for (int32 index : {1, 5, -1}) EXPECT_EQ(u->getProgramName(kPresetId, index, name), kInvalidArgument) << index;
  EXPECT_EQ(u->getProgramName(1234, 0, name), kResultFalse);
  EXPECT_EQ(u->selectUnit(0), kNotImplemented);
}
