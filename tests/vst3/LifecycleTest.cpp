// The component's lifecycle as hosts drive it: every call out of its order keeps the answer it
// always had and is reported as a host breach, once; a host that keeps the order hears of none.

#include "tests/vst3/Vst3TestSupport.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
constexpr int kBlock = 64;

// Parameter changes whose host calls back into the plug-in's controller while process reads them,
// as a host doing UI-thread work on its audio thread would.
class ReenteringChanges : public vst3host::ParameterChanges {
public:
  explicit ReenteringChanges(IEditController* controller) : mController(controller) {}
  int32 PLUGIN_API getParameterCount() override {
    mController->setParamNormalized(kParamMix, 0.25);
    return vst3host::ParameterChanges::getParameterCount();
  }

private:
  IEditController* mController;
};

struct OutOfOrderCase {
  const char* what;
  std::function<void(Plugin&)> before;  // brings the instance to the stage
  std::function<tresult(Plugin&, vst3host::ProcessBuffers&)> call;
  tresult answer;
  HostBreach breach;
};

void PrintTo(const OutOfOrderCase& c, std::ostream* os) { *os << c.what; }

void Prepare(Plugin& p) { ASSERT_EQ(p.instance->Prepare(kSample32, 44100.0, kBlock), kResultOk); }

void SetUpOnly(Plugin& p) {
  ProcessSetup setup{kRealtime, kSample32, kBlock, 44100.0};
  ASSERT_EQ(p.processor()->setupProcessing(setup), kResultOk);
}

class OutOfOrder : public ::testing::TestWithParam<OutOfOrderCase> {};
}  // namespace

TEST_P(OutOfOrder, KeepsItsAnswerAndIsReportedOnce) {
  const OutOfOrderCase& t = GetParam();
  Plugin p = CreateVelmora();
  vst3host::ProcessBuffers buffers(kSample32, kBlock, {2, 2}, {2});
  buffers.FillAll(0.25);
  if (t.before) t.before(p);
  ASSERT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{}) << "the way there is in order";
  EXPECT_EQ(t.call(p, buffers), t.answer);
  EXPECT_EQ(t.call(p, buffers), t.answer) << "again";
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{t.breach});
}

INSTANTIATE_TEST_SUITE_P(
    Host, OutOfOrder,
    ::testing::Values(
        OutOfOrderCase{
            "initialize when initialised", nullptr,
            [](Plugin& p, vst3host::ProcessBuffers&) { return p.component()->initialize(p.host->Context()); },
            kResultFalse, HostBreach::OutOfOrderCall},
        OutOfOrderCase{"setActive(true) before any setup", nullptr,
                       [](Plugin& p, vst3host::ProcessBuffers&) { return p.component()->setActive(true); }, kResultOk,
                       HostBreach::OutOfOrderCall},
        OutOfOrderCase{"setActive(false) while inactive", SetUpOnly,
                       [](Plugin& p, vst3host::ProcessBuffers&) { return p.component()->setActive(false); }, kResultOk,
                       HostBreach::OutOfOrderCall},
        OutOfOrderCase{"setProcessing(true) while inactive", SetUpOnly,
                       [](Plugin& p, vst3host::ProcessBuffers&) { return p.processor()->setProcessing(true); },
                       kNotImplemented, HostBreach::OutOfOrderCall},
        OutOfOrderCase{"process set up but inactive", SetUpOnly,
                       [](Plugin& p, vst3host::ProcessBuffers& b) { return Process(p, b, kBlock); }, kResultOk,
                       HostBreach::OutOfOrderCall},
        OutOfOrderCase{"process before any setup", nullptr,
                       [](Plugin& p, vst3host::ProcessBuffers& b) { return Process(p, b, kBlock); }, kResultFalse,
                       HostBreach::ProcessBeforeSetup},
        OutOfOrderCase{"setActive(false) while processing", Prepare,
                       [](Plugin& p, vst3host::ProcessBuffers&) { return p.component()->setActive(false); }, kResultOk,
                       HostBreach::OutOfOrderCall},
        OutOfOrderCase{"terminate while active", Prepare,
                       [](Plugin& p, vst3host::ProcessBuffers&) { return p.component()->terminate(); }, kResultOk,
                       HostBreach::OutOfOrderCall},
        OutOfOrderCase{"setupProcessing while active", Prepare,
                       [](Plugin& p, vst3host::ProcessBuffers&) {
                         ProcessSetup setup{kRealtime, kSample32, kBlock, 48000.0};
                         return p.processor()->setupProcessing(setup);
                       },
                       kResultOk, HostBreach::ChangeWhileActive},
        OutOfOrderCase{"setBusArrangements while active", Prepare,
                       [](Plugin& p, vst3host::ProcessBuffers&) {
                         SpeakerArrangement ins[] = {SpeakerArr::kStereo, SpeakerArr::kMono};
                         SpeakerArrangement outs[] = {SpeakerArr::kStereo};
                         return p.processor()->setBusArrangements(ins, 2, outs, 1);
                       },
                       kResultOk, HostBreach::ChangeWhileActive},
        OutOfOrderCase{"a controller call from inside process", Prepare,
                       [](Plugin& p, vst3host::ProcessBuffers& b) {
                         IPtr<ReenteringChanges> changes = owned(new ReenteringChanges(p.controller()));
                         return Process(p, b, kBlock, changes);
                       },
                       kResultOk, HostBreach::UiCallInsideProcess}));

// The order hosts keep, from initialise to terminate and back, with setups at new rates in
// between and the controller and state calls a host makes around processing: nothing to report.
TEST(Lifecycle, AHostKeepingTheOrderHearsOfNoBreach) {
  Plugin p = CreateVelmora();
  vst3host::ProcessBuffers buffers(kSample32, kBlock, {2, 2}, {2});
  buffers.FillAll(0.25);
  IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
  changes->Add(kParamRatio, 0, 0.75);
  for (double rate : {44100.0, 96000.0}) {
    const std::vector<uint8_t> state = SaveState(p.component());
    ASSERT_EQ(LoadState(p.component(), state), kResultOk);
    ASSERT_EQ(p.instance->Prepare(kSample32, rate, kBlock), kResultOk);
    EXPECT_EQ(Process(p, buffers, kBlock, changes), kResultOk);
    EXPECT_EQ(p.controller()->setParamNormalized(kParamMix, 0.5), kResultOk);
    EXPECT_EQ(LoadState(p.controller(), SaveState(p.controller())), kResultOk);
    EXPECT_EQ(Process(p, buffers, kBlock), kResultOk);
    p.instance->Stop();
  }
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{});

  // Started again after terminate: the earlier setup still holds, so it processes at once.
  ASSERT_EQ(p.component()->terminate(), kResultOk);
  ASSERT_EQ(p.component()->initialize(p.host->Context()), kResultOk);
  ASSERT_EQ(p.component()->setActive(true), kResultOk);
  EXPECT_EQ(Process(p, buffers, kBlock), kResultOk);
  ASSERT_EQ(p.component()->setActive(false), kResultOk);
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{});
}
