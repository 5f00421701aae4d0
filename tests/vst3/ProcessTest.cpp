// The process call: host parameter changes, host bypass, 32- and 64-bit paths, the sidechain bus,
// and the guards against what a careless host may hand over.

#include "tests/vst3/Vst3TestSupport.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
// An instance prepared for processing with its host-side buffers (main + aux in, one output).
struct Rig {
  Rig(int32 sampleSize, int maxBlock, int bufferFrames = 0)
      : plugin(CreateVelmora()),
        buffers(sampleSize, bufferFrames > 0 ? bufferFrames : maxBlock, {2, 2}, {2}),
        changes(owned(new vst3host::ParameterChanges())) {
    EXPECT_EQ(plugin.instance->Prepare(sampleSize, 44100.0, maxBlock), kResultOk);
  }

  void SetAuxActive(bool active) { plugin.component()->activateBus(kAudio, kInput, 1, active); }

  // Fills the inputs for frames [start, start + n): the main pair with the test signal at `main`
  // gain, the aux pair with a louder copy at `aux` gain.
  void FillInputs(long start, int n, double main, double aux) {
    for (int i = 0; i < n; ++i) {
      for (int ch = 0; ch < 2; ++ch) {
        // Single-precision values, so both sample sizes start from identical input.
        buffers.SetInput(0, ch, i, static_cast<float>(main * TestSignal(ch, start + i)));
        buffers.SetInput(1, ch, i, static_cast<float>(aux * TestSignal(ch + 2, start + i)));
      }
    }
  }

  // Processes n frames and appends both output channels, interleaved, to out.
  tresult Run(int n, std::vector<double>* out, vst3host::ParameterChanges* block = nullptr) {
    const tresult result = Process(plugin, buffers, n, block);
    for (int i = 0; i < n && out; ++i) {
      out->push_back(buffers.Output(0, 0, i));
      out->push_back(buffers.Output(0, 1, i));
    }
    return result;
  }

  void Send(ParamID id, double value) { EXPECT_EQ(SendParam(plugin, buffers, id, value), kResultOk); }

  Plugin plugin;
  vst3host::ProcessBuffers buffers;
  IPtr<vst3host::ParameterChanges> changes;
};

// Runs `blocks` blocks of `n` frames of the test signal and collects the output.
std::vector<double> RunSignal(Rig& rig, int blocks, int n, double main, double aux, long* frame) {
  std::vector<double> out;
  for (int b = 0; b < blocks; ++b) {
    rig.FillInputs(*frame, n, main, aux);
    EXPECT_EQ(rig.Run(n, &out), kResultOk);
    *frame += n;
  }
  return out;
}
}  // namespace

// "On" from one half up, as the host's discrete conversion and the bypass texts have it.
TEST(Process, HostBypassSwitchesFromOneHalf) {
  Rig rig(kSample32, 256);
  rig.FillInputs(0, 256, 0.5, 0.0);

  rig.Send(kBypassId, 0.5);
  EXPECT_EQ(rig.plugin.controller()->getParamNormalized(kBypassId), 1.0);
  String128 text = {};
  ASSERT_EQ(rig.plugin.controller()->getParamStringByValue(kBypassId, 0.5, text), kResultOk);
  EXPECT_EQ(Narrow(text), "on");
  EXPECT_EQ(rig.plugin.controller()->getParamNormalized(kBypassId), 1.0);
  ASSERT_EQ(rig.Run(256, nullptr), kResultOk);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(rig.buffers.Output(0, 0, i), rig.buffers.Input(0, 0, i)) << i;
    ASSERT_EQ(rig.buffers.Output(0, 1, i), rig.buffers.Input(0, 1, i)) << i;
  }

  rig.Send(kBypassId, 0.49);
  EXPECT_EQ(rig.plugin.controller()->getParamNormalized(kBypassId), 0.0);
  ASSERT_EQ(rig.Run(256, nullptr), kResultOk);
  int differing = 0;
  for (int i = 0; i < 256; ++i) differing += rig.buffers.Output(0, 0, i) != rig.buffers.Input(0, 0, i);
  EXPECT_GT(differing, 0) << "with bypass off the effect processes the signal";
}

// Hosts keep their controller in sync with what they send the processor, at their own moments: a
// value set on the controller is stored and read back (and a restore sets it), but the audio is
// bypassed only by the processor's parameter queue (and a restored state).
TEST(Process, TheControllersBypassValueDoesNotSwitchTheAudio) {
  Rig rig(kSample32, 256);
  IEditController* c = rig.plugin.controller();
  const auto processed = [&] {
    rig.FillInputs(0, 256, 0.5, 0.0);
    EXPECT_EQ(rig.Run(256, nullptr), kResultOk);
    for (int i = 0; i < 256; ++i)
      if (rig.buffers.Output(0, 0, i) != rig.buffers.Input(0, 0, i)) return true;
    return false;
  };
  ASSERT_EQ(c->setParamNormalized(kBypassId, 1.0), kResultOk);
  EXPECT_EQ(c->getParamNormalized(kBypassId), 1.0);
  EXPECT_TRUE(processed());
  EXPECT_EQ(SaveState(c).back(), 0) << "what is saved is what is heard";

  rig.Send(kBypassId, 1.0);
  ASSERT_EQ(c->setParamNormalized(kBypassId, 0.0), kResultOk);
  EXPECT_FALSE(processed());

  // A validator's persistence check: bypass on in process, the state saved, the controller's value
  // moved away, the state handed to the controller: the controller reads bypass on again.
  const std::vector<uint8_t> saved = SaveState(rig.plugin.component());
  ASSERT_EQ(c->setParamNormalized(kBypassId, 0.0), kResultOk);
  ASSERT_EQ(c->setComponentState(StreamOf(saved)), kResultOk);
  EXPECT_EQ(c->getParamNormalized(kBypassId), 1.0);
  EXPECT_FALSE(processed());
}

// A host that activates the aux bus and then chooses a mono key gets the same ducking as one that
// chooses first: the arrangement change keeps the activation.
TEST(Process, AnAuxBusActivatedBeforeAMonoArrangementStaysActive) {
  SpeakerArrangement monoIns[] = {SpeakerArr::kStereo, SpeakerArr::kMono};
  SpeakerArrangement outs[] = {SpeakerArr::kStereo};
  Plugin activatedFirst = CreateVelmora();
  Plugin arrangedFirst = CreateVelmora();
  ASSERT_EQ(activatedFirst.component()->activateBus(kAudio, kInput, 1, true), kResultTrue);
  ASSERT_EQ(activatedFirst.processor()->setBusArrangements(monoIns, 2, outs, 1), kResultOk);
  ASSERT_EQ(arrangedFirst.processor()->setBusArrangements(monoIns, 2, outs, 1), kResultOk);
  ASSERT_EQ(arrangedFirst.component()->activateBus(kAudio, kInput, 1, true), kResultTrue);
  std::vector<double> out[2];
  int i = 0;
  for (Plugin* p : {&activatedFirst, &arrangedFirst}) {
    vst3host::ProcessBuffers buffers(kSample32, 128, {2, 1}, {2});
    ASSERT_EQ(p->instance->Prepare(kSample32, 44100.0, 128), kResultOk);
    ASSERT_EQ(SendParam(*p, buffers, kParamExternalSidechain, 1.0), kResultOk);
    ASSERT_EQ(SendParam(*p, buffers, kParamCompressorThreshold, 0.0), kResultOk);
    for (long start = 0; start < 40 * 128; start += 128) {
      for (int f = 0; f < 128; ++f) {
        for (int ch = 0; ch < 2; ++ch) buffers.SetInput(0, ch, f, static_cast<float>(0.3 * TestSignal(ch, start + f)));
        buffers.SetInput(1, 0, f, static_cast<float>(TestSignal(2, start + f)));
      }
      ASSERT_EQ(Process(*p, buffers, 128), kResultOk);
      for (int f = 0; f < 128; ++f) out[i].push_back(buffers.Output(0, 0, f));
    }
    ++i;
  }
  ASSERT_EQ(out[0], out[1]);
  double peakIn = 0.0, peakOut = 0.0;
  for (size_t f = out[0].size() / 2; f < out[0].size(); ++f) {
    peakIn = std::max(peakIn, std::fabs(0.3 * TestSignal(0, static_cast<long>(f))));
    peakOut = std::max(peakOut, std::fabs(out[0][f]));
  }
  EXPECT_LT(peakOut, 0.9 * peakIn) << "the loud key ducks the main signal";
}

TEST(Process, ThirtyTwoAndSixtyFourBitGiveTheSameAudio) {
  Rig single(kSample32, 128);
  Rig dbl(kSample64, 128);
  long f32 = 0, f64 = 0;
  std::vector<double> a = RunSignal(single, 4, 128, 0.9, 0.0, &f32);
  std::vector<double> b = RunSignal(dbl, 4, 128, 0.9, 0.0, &f64);
  for (Rig* rig : {&single, &dbl}) {
    rig->Send(kParamGain, 0.5);
    rig->Send(kParamRatio, 1.0);
    rig->Send(kParamMix, 0.5);
  }
  std::vector<double> a2 = RunSignal(single, 12, 128, 0.9, 0.0, &f32);
  std::vector<double> b2 = RunSignal(dbl, 12, 128, 0.9, 0.0, &f64);
  a.insert(a.end(), a2.begin(), a2.end());
  b.insert(b.end(), b2.begin(), b2.end());
  ASSERT_EQ(a.size(), b.size());
  double peak = 0.0;
  for (size_t i = 0; i < a.size(); ++i) {
    ASSERT_EQ(static_cast<float>(a[i]), static_cast<float>(b[i])) << "sample " << i;
    peak = std::max(peak, std::fabs(b[i]));
  }
  EXPECT_GT(peak, 0.1);
}

TEST(Process, OnlyTheLastPointOfAQueueIsApplied) {
  Rig rig(kSample32, 256);
  IEditController* c = rig.plugin.controller();
  rig.changes->Add(kParamMix, 0, 0.0);
  rig.changes->Add(kParamMix, 100, 1.0);
  rig.changes->Add(kParamMix, 200, 0.5);
  rig.changes->Add(kParamGain, 10, 0.3);
  rig.changes->Add(77, 0, 1.0);  // names no parameter: ignored
  ASSERT_EQ(rig.Run(256, nullptr, rig.changes), kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(kParamMix), 0.5);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(kParamGain), 0.3);

  // A final point that is not a number leaves the parameter as it was.
  rig.changes->Clear();
  rig.changes->Add(kParamMix, 0, 1.0);
  rig.changes->Add(kParamMix, 5, std::numeric_limits<double>::quiet_NaN());
  rig.changes->Add(kBypassId, 0, std::numeric_limits<double>::infinity());
  EXPECT_EQ(rig.plugin.ReportedBreaches(), std::vector<HostBreach>{});
  ASSERT_EQ(rig.Run(64, nullptr, rig.changes), kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(kParamMix), 0.5);
  EXPECT_EQ(c->getParamNormalized(kBypassId), 0.0);
  EXPECT_EQ(rig.plugin.ReportedBreaches(), std::vector<HostBreach>{HostBreach::NonFiniteParameterValue});
}

// A program value names the program the host's discrete conversion gives it: with one preset,
// every value names that preset (1.0 is the last program, not one past the list).
TEST(Process, PresetParameterRestoresThePresetItsValueNames) {
  Rig rig(kSample32, 64);
  IEditController* c = rig.plugin.controller();
  for (double program : {1.0, 0.0, 0.5}) {
    rig.Send(kParamMix, 0.0);
    rig.Send(kPresetId, program);
    EXPECT_DOUBLE_EQ(c->getParamNormalized(kParamMix), 1.0) << program;  // the default preset
    EXPECT_EQ(c->getParamNormalized(kPresetId), program);
  }
}

TEST(Process, InactiveAuxBusReadsSilence) {
  Rig withAux(kSample32, 128), silentAux(kSample32, 128), activeAux(kSample32, 128);
  for (Rig* rig : {&withAux, &silentAux, &activeAux}) rig->Send(kParamExternalSidechain, 1.0);
  activeAux.SetAuxActive(true);
  long f1 = 0, f2 = 0, f3 = 0;
  const std::vector<double> a = RunSignal(withAux, 20, 128, 0.3, 1.0, &f1);
  const std::vector<double> b = RunSignal(silentAux, 20, 128, 0.3, 0.0, &f2);
  const std::vector<double> c = RunSignal(activeAux, 20, 128, 0.3, 1.0, &f3);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c) << "an active aux bus with a loud signal drives the detectors";
}

TEST(Process, AuxSwitchedOffReadsSilenceFromTheNextBlock) {
  // In 32-bit processing the sidechain pair is converted into the scratch buffers; once the aux
  // bus goes off those must read zeros, exactly like an active aux bus fed with silence.
  Rig switchedOff(kSample32, 128), fedSilence(kSample32, 128);
  for (Rig* rig : {&switchedOff, &fedSilence}) {
    rig->Send(kParamExternalSidechain, 1.0);
    rig->SetAuxActive(true);
  }
  long f1 = 0, f2 = 0;
  EXPECT_EQ(RunSignal(switchedOff, 10, 128, 0.3, 1.0, &f1), RunSignal(fedSilence, 10, 128, 0.3, 1.0, &f2));
  switchedOff.SetAuxActive(false);
  EXPECT_EQ(RunSignal(switchedOff, 10, 128, 0.3, 1.0, &f1), RunSignal(fedSilence, 10, 128, 0.3, 0.0, &f2));
}

TEST(Process, AMonoSidechainKeysBothDetectorInputs) {
  // A mono key track feeds both sides of the sidechain, exactly as a stereo key with the same
  // signal on both channels does.
  for (int32 size : {kSample32, kSample64}) {
    Plugin mono = CreateVelmora();
    Plugin stereo = CreateVelmora();
    SpeakerArrangement monoIns[] = {SpeakerArr::kStereo, SpeakerArr::kMono};
    SpeakerArrangement outs[] = {SpeakerArr::kStereo};
    ASSERT_EQ(mono.processor()->setBusArrangements(monoIns, 2, outs, 1), kResultOk);
    vst3host::ProcessBuffers monoBuffers(size, 128, {2, 1}, {2});
    vst3host::ProcessBuffers stereoBuffers(size, 128, {2, 2}, {2});
    for (Plugin* p : {&mono, &stereo}) {
      ASSERT_EQ(p->component()->activateBus(kAudio, kInput, 1, true), kResultOk);
      ASSERT_EQ(p->instance->Prepare(size, 44100.0, 128), kResultOk);
    }
    ASSERT_EQ(SendParam(mono, monoBuffers, kParamExternalSidechain, 1.0), kResultOk);
    ASSERT_EQ(SendParam(stereo, stereoBuffers, kParamExternalSidechain, 1.0), kResultOk);
    double loudest = 0.0;
    for (long start = 0; start < 20 * 128; start += 128) {
      for (int i = 0; i < 128; ++i) {
        const float main = static_cast<float>(0.3 * TestSignal(0, start + i));
        const float key = static_cast<float>(TestSignal(2, start + i));
        for (vst3host::ProcessBuffers* b : {&monoBuffers, &stereoBuffers}) {
          b->SetInput(0, 0, i, main);
          b->SetInput(0, 1, i, main);
          b->SetInput(1, 0, i, key);
        }
        stereoBuffers.SetInput(1, 1, i, key);
      }
      ASSERT_EQ(Process(mono, monoBuffers, 128), kResultOk);
      ASSERT_EQ(Process(stereo, stereoBuffers, 128), kResultOk);
      for (int ch = 0; ch < 2; ++ch) {
        for (int i = 0; i < 128; ++i) {
          ASSERT_EQ(monoBuffers.Output(0, ch, i), stereoBuffers.Output(0, ch, i)) << size << " " << start + i;
          loudest = std::max(loudest, std::fabs(monoBuffers.Output(0, ch, i)));
        }
      }
    }
    EXPECT_GT(loudest, 0.01);
  }
}

class SampleSizes : public ::testing::TestWithParam<int32> {};

TEST_P(SampleSizes, BlocksLongerThanTheSetupRunInSlices) {
  // One call of 1000 frames after a setup for 64 must sound exactly like the same signal in
  // blocks of at most 64.
  Rig oneCall(GetParam(), 64, 1000), inBlocks(GetParam(), 64);
  oneCall.FillInputs(0, 1000, 0.9, 0.0);
  std::vector<double> a;
  ASSERT_EQ(oneCall.Run(1000, &a), kResultOk);
  std::vector<double> b;
  for (long start = 0; start < 1000; start += 64) {
    const int n = static_cast<int>(std::min<long>(64, 1000 - start));
    inBlocks.FillInputs(start, n, 0.9, 0.0);
    ASSERT_EQ(inBlocks.Run(n, &b), kResultOk);
  }
  EXPECT_EQ(a, b);
  EXPECT_EQ(oneCall.plugin.ReportedBreaches(), std::vector<HostBreach>{HostBreach::OversizeBlock});
  EXPECT_EQ(inBlocks.plugin.ReportedBreaches(), std::vector<HostBreach>{});
}

TEST_P(SampleSizes, MissingHostMemoryReadsAsSilenceAndIsNeverWritten) {
  Rig rig(GetParam(), 64), reference(GetParam(), 64);
  rig.buffers.FillAll(0.25);
  reference.buffers.FillAll(0.0);
  AudioBusBuffers* in = rig.buffers.InputBuses();
  AudioBusBuffers* out = rig.buffers.OutputBuses();
  ProcessData& data = rig.buffers.Data(64);

  // No channel array on the main input: processed like silence.
  Sample32** mainChannels = in[0].channelBuffers32;  // the same pointer as the 64-bit member
  in[0].channelBuffers32 = nullptr;
  ASSERT_EQ(rig.plugin.processor()->process(data), kResultOk);
  ASSERT_EQ(Process(reference.plugin, reference.buffers, 64), kResultOk);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(rig.buffers.Output(0, 0, i), reference.buffers.Output(0, 0, i)) << i;
  in[0].channelBuffers32 = mainChannels;

  // A null entry in the output channel array: that channel is left alone, the other is written.
  const bool is64 = GetParam() == kSample64;
  Sample32* right32 = is64 ? nullptr : out[0].channelBuffers32[1];
  Sample64* right64 = is64 ? out[0].channelBuffers64[1] : nullptr;
  if (is64)
    out[0].channelBuffers64[1] = nullptr;
  else
    out[0].channelBuffers32[1] = nullptr;
  rig.buffers.FillAll(0.25);
  ASSERT_EQ(rig.plugin.processor()->process(data), kResultOk);
  if (is64)
    out[0].channelBuffers64[1] = right64;
  else
    out[0].channelBuffers32[1] = right32;
  EXPECT_EQ(rig.buffers.Output(0, 1, 10), 0.25);
  EXPECT_NE(rig.buffers.Output(0, 0, 10), 0.25);

  // No bus arrays at all, fewer buses than the plug-in has, or a negative length: no access.
  data.inputs = nullptr;
  data.outputs = nullptr;
  EXPECT_EQ(rig.plugin.processor()->process(data), kResultOk);
  data = rig.buffers.Data(64);
  data.numInputs = 0;
  data.numOutputs = 0;
  EXPECT_EQ(rig.plugin.processor()->process(data), kResultOk);
  data = rig.buffers.Data(-5);
  EXPECT_EQ(rig.plugin.processor()->process(data), kResultOk);

  // An active aux bus that the block does not carry, or carries without memory, is silence.
  rig.SetAuxActive(true);
  rig.Send(kParamExternalSidechain, 1.0);
  data = rig.buffers.Data(64);
  data.numInputs = 1;
  EXPECT_EQ(rig.plugin.processor()->process(data), kResultOk);
  data = rig.buffers.Data(64);
  in[1].channelBuffers32 = nullptr;
  EXPECT_EQ(rig.plugin.processor()->process(data), kResultOk);
}

INSTANTIATE_TEST_SUITE_P(Vst3, SampleSizes, ::testing::Values(kSample32, kSample64),
                         [](const ::testing::TestParamInfo<int32>& size) {
                           return size.param == kSample32 ? std::string("Float") : std::string("Double");
                         });

TEST(Process, BeforeAnySetupTheHostHearsSilence) {
  Plugin p = CreateVelmora();  // never set up: no scratch room at all
  vst3host::ProcessBuffers buffers(kSample32, 128, {2, 2}, {2});
  buffers.FillAll(0.5);
  IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
  changes->Add(kParamMix, 0, 0.0);
  EXPECT_EQ(Process(p, buffers, 128, changes), kResultFalse);
  for (int i = 0; i < 128; ++i) ASSERT_EQ(buffers.Output(0, 0, i), 0.0) << i;
  EXPECT_EQ(p.controller()->getParamNormalized(kParamMix), 0.0) << "the block's parameter changes still count";
  // Reported once, however often the host does it; a block without samples is no breach.
  EXPECT_EQ(Process(p, buffers, 128), kResultFalse);
  EXPECT_EQ(Process(p, buffers, 0), kResultOk);
  EXPECT_EQ(p.ReportedBreaches(), std::vector<HostBreach>{HostBreach::ProcessBeforeSetup});
  EXPECT_NE(p.traces->front().find("(128 samples)"), std::string::npos) << p.traces->front();
}

TEST(Process, BuffersOfAnotherSampleSizeThanTheSetupAreNotTouched) {
  Rig rig(kSample32, 64);
  vst3host::ProcessBuffers doubles(kSample64, 64, {2, 2}, {2});
  doubles.FillAll(0.5);
  EXPECT_EQ(Process(rig.plugin, doubles, 64), kResultFalse);
  EXPECT_EQ(doubles.Output(0, 0, 63), 0.5);
  EXPECT_EQ(Process(rig.plugin, doubles, 64), kResultFalse);
  EXPECT_EQ(rig.plugin.ReportedBreaches(), std::vector<HostBreach>{HostBreach::SampleSizeMismatch});
  EXPECT_NE(rig.plugin.traces->front().find("64-bit samples after a 32-bit setup"), std::string::npos);
}
