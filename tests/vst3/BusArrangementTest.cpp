// Buses after initialise, the arrangements a host may propose, and processing setup.

#include "tests/vst3/Vst3TestSupport.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
struct BusView {
  std::string name;
  int32 channels;
  BusType type;
  bool defaultActive;
};

BusView Bus(IComponent* component, BusDirection dir, int index) {
  BusInfo info{};
  EXPECT_EQ(component->getBusInfo(kAudio, dir, index, info), kResultOk);
  return {Narrow(info.name), info.channelCount, info.busType, (info.flags & BusInfo::kDefaultActive) != 0};
}

constexpr SpeakerArrangement kMono = SpeakerArr::kMono;
constexpr SpeakerArrangement kStereo = SpeakerArr::kStereo;
constexpr SpeakerArrangement kQuad = 0x33;
constexpr SpeakerArrangement k51 = SpeakerArr::k51;
}  // namespace

TEST(Buses, LayoutAfterInitialise) {
  Plugin p = CreateVelmora();
  IComponent* c = p.component();
  ASSERT_EQ(c->getBusCount(kAudio, kInput), 2);
  ASSERT_EQ(c->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(c->getBusCount(kEvent, kInput), 0);

  const BusView main = Bus(c, kInput, 0);
  EXPECT_EQ(main.name, "Main Input");
  EXPECT_EQ(main.channels, 2);
  EXPECT_EQ(main.type, kMain);
  EXPECT_TRUE(main.defaultActive);
  const BusView aux = Bus(c, kInput, 1);
  EXPECT_EQ(aux.name, "Aux Input");
  EXPECT_EQ(aux.channels, 2);
  EXPECT_EQ(aux.type, kAux);
  EXPECT_FALSE(aux.defaultActive);
  const BusView out = Bus(c, kOutput, 0);
  EXPECT_EQ(out.name, "Output");
  EXPECT_EQ(out.channels, 2);
  EXPECT_TRUE(out.defaultActive);

  SpeakerArrangement arr = 0;
  EXPECT_EQ(p.processor()->getBusArrangement(kInput, 1, arr), kResultOk);
  EXPECT_EQ(arr, kStereo);
  BusInfo info{};
  EXPECT_EQ(c->getBusInfo(kAudio, kInput, 2, info), kInvalidArgument);
  EXPECT_EQ(c->activateBus(kAudio, kInput, 2, true), kInvalidArgument);
  EXPECT_EQ(p.processor()->getBusArrangement(kOutput, 1, arr), kInvalidArgument);
}

TEST(Buses, RepeatedInitialiseIsRefusedAndChangesNothing) {
  Plugin p = CreateVelmora();
  ASSERT_EQ(p.controller()->setParamNormalized(kParamMix, 0.0), kResultOk);
  const std::vector<uint8_t> before = SaveState(p.controller());
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(p.component()->initialize(p.host->Context()), kResultFalse);
  EXPECT_EQ(p.controller()->initialize(nullptr), kResultFalse);
  EXPECT_EQ(p.component()->getBusCount(kAudio, kInput), 2);
  EXPECT_EQ(p.controller()->getParameterCount(), 15);
  EXPECT_EQ(SaveState(p.controller()), before) << "a refused initialise restores no preset";
}

TEST(Buses, AnUnknownDirectionIsAnInvalidArgument) {
  Plugin p = CreateVelmora();
  const BusDirection unknown = 2;
  BusInfo info{};
  SpeakerArrangement arr = 0;
  EXPECT_EQ(p.component()->getBusCount(kAudio, unknown), 0);
  EXPECT_EQ(p.component()->getBusInfo(kAudio, unknown, 0, info), kInvalidArgument);
  EXPECT_EQ(p.component()->activateBus(kAudio, unknown, 0, true), kInvalidArgument);
  EXPECT_EQ(p.processor()->getBusArrangement(unknown, 0, arr), kInvalidArgument);
  EXPECT_EQ(p.component()->getBusInfo(kAudio, -1, 0, info), kInvalidArgument);
}

TEST(Buses, AfterTerminateArrangementsAreRefusedAndProcessWritesSilence) {
  Plugin p = CreateVelmora();
  ASSERT_EQ(p.instance->Prepare(kSample32, 44100.0, 64), kResultOk);
  vst3host::ProcessBuffers buffers(kSample32, 64, {2, 2}, {2});
  buffers.FillAll(0.5);
  p.instance->Stop();  // deactivated first, as the contract asks: only what follows terminate counts here
  ASSERT_EQ(p.component()->terminate(), kResultOk);
  SpeakerArrangement ins[] = {kStereo, kStereo};
  SpeakerArrangement outs[] = {kStereo};
  EXPECT_EQ(p.processor()->setBusArrangements(ins, 2, outs, 1), kResultFalse);
  EXPECT_EQ(p.component()->getBusCount(kAudio, kInput), 0);
  EXPECT_EQ(Process(p, buffers, 64), kResultFalse);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(buffers.Output(0, 0, i), 0.0) << i;
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{}) << "the host's trace sink went with terminate";
  EXPECT_EQ(p.component()->initialize(p.host->Context()), kResultOk) << "a terminated instance starts again";
  EXPECT_EQ(p.component()->getBusCount(kAudio, kInput), 2);
}

struct ArrangementCase {
  const char* what;
  std::vector<SpeakerArrangement> ins;
  std::vector<SpeakerArrangement> outs;
  tresult expected;
  std::vector<int> inputBusChannels;  // afterwards
};

// Test names carry the case's description, not its bytes (which hold addresses).
void PrintTo(const ArrangementCase& c, std::ostream* os) { *os << c.what; }

class Arrangements : public ::testing::TestWithParam<ArrangementCase> {};

TEST_P(Arrangements, AnswerAndResultingBuses) {
  const ArrangementCase& t = GetParam();
  Plugin p = CreateVelmora();
  std::vector<SpeakerArrangement> ins = t.ins, outs = t.outs;
  EXPECT_EQ(p.processor()->setBusArrangements(ins.empty() ? nullptr : ins.data(), static_cast<int32>(ins.size()),
                                              outs.empty() ? nullptr : outs.data(), static_cast<int32>(outs.size())),
            t.expected)
      << t.what;
  const int32 n = p.component()->getBusCount(kAudio, kInput);
  ASSERT_EQ(n, static_cast<int32>(t.inputBusChannels.size())) << t.what;
  for (int32 i = 0; i < n; ++i) EXPECT_EQ(Bus(p.component(), kInput, i).channels, t.inputBusChannels[i]) << t.what;
}

INSTANTIATE_TEST_SUITE_P(
    Host, Arrangements,
    ::testing::Values(
        ArrangementCase{
            "stereo main and sidechain: accepted, nothing changes", {kStereo, kStereo}, {kStereo}, kResultOk, {2, 2}},
        ArrangementCase{"one mono main input", {kMono}, {kStereo}, kResultFalse, {2, 2}},
        ArrangementCase{"stereo main without the sidechain arrangement", {kStereo}, {kStereo}, kResultFalse, {2, 2}},
        ArrangementCase{"mono output", {kStereo, kStereo}, {kMono}, kResultFalse, {2, 2}},
        ArrangementCase{"mono sidechain: the sidechain bus is rebuilt", {kStereo, kMono}, {kStereo}, kResultOk, {2, 1}},
        ArrangementCase{"5.1 sidechain: refused", {kStereo, k51}, {kStereo}, kResultFalse, {2, 2}},
        ArrangementCase{"quad main with a 5.1 sidechain: refused before anything changes",
                        {kQuad, k51},
                        {kStereo},
                        kResultFalse,
                        {2, 2}},
        ArrangementCase{"quad main without a sidechain arrangement: refused before anything changes",
                        {kQuad},
                        {kStereo},
                        kResultFalse,
                        {2, 2}},
        // The main bus is rebuilt with four channels, which takes the sidechain bus with it; it is
        // added back rather than looked up past the end of the list.
        ArrangementCase{"quad main input (the 4-2 pair)", {kQuad, kStereo}, {kStereo}, kResultOk, {4, 2}},
        ArrangementCase{"no arrangements at all", {}, {}, kResultFalse, {2, 2}}),
    [](const ::testing::TestParamInfo<ArrangementCase>& c) { return "Case" + std::to_string(c.index); });

// An arrangement change that keeps a bus keeps what the host knows it by: its name and type (the
// host's routing and saved projects name buses), and whether the host activated it (see
// Process.AnAuxBusActivatedBeforeAMonoArrangementStaysActive).
TEST(Buses, ArrangementChangesKeepTheBusesNames) {
  Plugin p = CreateVelmora();
  SpeakerArrangement mono[] = {kStereo, kMono};
  SpeakerArrangement quad[] = {kQuad, kStereo};
  SpeakerArrangement outs[] = {kStereo};
  for (SpeakerArrangement* ins : {mono, quad}) {
    ASSERT_EQ(p.processor()->setBusArrangements(ins, 2, outs, 1), kResultOk);
    EXPECT_EQ(Bus(p.component(), kInput, 0).name, "Main Input");
    EXPECT_EQ(Bus(p.component(), kOutput, 0).name, "Output");
    const BusView sc = Bus(p.component(), kInput, 1);
    EXPECT_EQ(sc.name, "Aux Input");
    EXPECT_EQ(sc.type, kAux);
    EXPECT_FALSE(sc.defaultActive);
  }
}

TEST(ProcessingSetup, SampleSizesAndServiceAnswers) {
  Plugin p = CreateVelmora();
  EXPECT_EQ(p.processor()->canProcessSampleSize(kSample32), kResultOk);
  EXPECT_EQ(p.processor()->canProcessSampleSize(kSample64), kResultOk);
  EXPECT_EQ(p.processor()->canProcessSampleSize(2), kResultFalse);
  EXPECT_EQ(p.processor()->getLatencySamples(), 0u);
  EXPECT_EQ(p.processor()->getTailSamples(), 0u);
  EXPECT_EQ(p.processor()->setProcessing(true), kNotImplemented);
  EXPECT_EQ(p.component()->setActive(true), kResultOk);
  EXPECT_EQ(p.component()->setActive(false), kResultOk);
}

TEST(ProcessingSetup, InvalidSetupIsRefusedAndChangesNothing) {
  Plugin p = CreateVelmora();
  ASSERT_EQ(p.instance->Prepare(kSample32, 44100.0, 64), kResultOk);
  vst3host::ProcessBuffers buffers(kSample32, 64, {2, 2}, {2});
  ASSERT_EQ(SendParam(p, buffers, kBypassId, 1.0), kResultOk);
  ASSERT_EQ(p.controller()->getParamNormalized(kBypassId), 1.0);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const ProcessSetup bad[] = {
      {kRealtime, kSample32, 64, nan},     {kRealtime, kSample32, 64, inf},      {kRealtime, kSample32, 64, -inf},
      {kRealtime, kSample32, 64, 0.0},     {kRealtime, kSample32, 64, -48000.0}, {kRealtime, kSample32, 0, 48000.0},
      {kRealtime, kSample32, -5, 48000.0}, {kRealtime, 2, 64, 48000.0},
  };
  for (ProcessSetup setup : bad) {
    EXPECT_EQ(p.processor()->setupProcessing(setup), kResultFalse)
        << setup.sampleRate << " " << setup.maxSamplesPerBlock;
  }
  // The first bad rate is reported, once; an unsupported sample size is a plain refusal.
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{HostBreach::BadProcessSetup});
  EXPECT_NE(p.traces->front().find("sample rate nan Hz, block size 64"), std::string::npos) << p.traces->front();
  // Processing still runs on the earlier setup, and a setup never touches the host bypass.
  EXPECT_EQ(Process(p, buffers, 64), kResultOk);
  ProcessSetup good{kRealtime, kSample32, 64, 48000.0};
  EXPECT_EQ(p.processor()->setupProcessing(good), kResultOk);
  EXPECT_EQ(p.controller()->getParamNormalized(kBypassId), 1.0);
}

TEST(ProcessingSetup, ABlockSizeBeyondWhatASetupMayAllocateIsRefused) {
  Plugin p = CreateVelmora();
  ASSERT_EQ(p.instance->Prepare(kSample32, 44100.0, 64), kResultOk);
  vst3host::ProcessBuffers buffers(kSample32, 64, {2, 2}, {2});
  for (int32 block : {0x7FFFFFFF, (1 << 20) + 1}) {
    ProcessSetup huge{kRealtime, kSample32, block, 44100.0};
    EXPECT_EQ(p.processor()->setupProcessing(huge), kResultFalse) << block;
  }
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{HostBreach::BadProcessSetup});

  // The earlier setup keeps working: the effect still processes its blocks.
  for (int i = 0; i < 64; ++i) buffers.SetInput(0, 0, i, 0.5 * TestSignal(0, i));
  ASSERT_EQ(Process(p, buffers, 64), kResultOk);
  int differing = 0;
  for (int i = 0; i < 64; ++i) differing += buffers.Output(0, 0, i) != buffers.Input(0, 0, i);
  EXPECT_GT(differing, 0);
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{HostBreach::BadProcessSetup});
}
