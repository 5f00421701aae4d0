// The hosting layer as the tests and velmora-host use it: modules loaded through their exports,
// instances set up the way hosts set them up (one object, or a component with a separate
// controller), what a host reads about them, and the host context's trace sink.

#include "framework/vst3/HostBreach.h"
#include "framework/vst3/IHostTraceSink.h"
#include "plugin/VelmoraSteps.h"
#include "tools/vst3host/ComponentHandler.h"
#include "tools/vst3host/HostApplication.h"
#include "tools/vst3host/HostText.h"
#include "tools/vst3host/Instance.h"
#include "tools/vst3host/Module.h"
#include "tools/vst3host/ProcessBuffers.h"

#include "pluginterfaces/base/smartpointer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::unique_ptr<vst3host::Module> Load(const std::string& path) {
  std::string error;
  std::unique_ptr<vst3host::Module> module = vst3host::Module::Load(path, &error);
  EXPECT_NE(module, nullptr) << error;
  return module;
}

std::unique_ptr<vst3host::Instance> CreateEffect(const vst3host::Module& module, vst3host::HostApplication* host) {
  TUID cid;
  EXPECT_TRUE(module.FindClass(kVstAudioEffectClass, cid));
  std::string error;
  std::unique_ptr<vst3host::Instance> instance =
      vst3host::Instance::Create(module, cid, host->Context(), nullptr, &error);
  EXPECT_NE(instance, nullptr) << error;
  return instance;
}

TEST(HostingLayer, SetsUpASingleComponentEffectAndDescribesIt) {
  const auto module = Load(VELMORA_BUNDLE_DIR);
  ASSERT_NE(module, nullptr);
  IPtr<vst3host::HostApplication> host = owned(new vst3host::HostApplication());
  const auto velmora = CreateEffect(*module, host);
  ASSERT_NE(velmora, nullptr);
  EXPECT_TRUE(velmora->IsSingleComponent());
  EXPECT_NE(velmora->UnitInfo(), nullptr);

  const std::vector<vst3host::BusDescription> in = velmora->AudioBuses(kInput);
  ASSERT_EQ(in.size(), 2u);
  EXPECT_EQ(in[0].name, "Main Input");
  EXPECT_TRUE(in[0].defaultActive);
  EXPECT_EQ(in[1].name, "Aux Input");
  EXPECT_TRUE(in[1].aux);
  EXPECT_FALSE(in[1].defaultActive);
  EXPECT_EQ(in[1].arrangement, SpeakerArr::kStereo);

  const std::vector<vst3host::ParameterDescription> parameters = velmora->Parameters();
  ASSERT_EQ(parameters.size(), 2u + kNumParams);
  EXPECT_EQ(parameters[2 + kParamMix].title, "Mix");
  EXPECT_EQ(parameters[2 + kParamMix].stepCount, 22);
  EXPECT_EQ(velmora->DisplayText(kParamMix, 0.5), "50 %");
  EXPECT_EQ(velmora->DisplayText(12345, 0.5), "") << "no parameter, no text";
}

TEST(HostingLayer, SetsUpAComponentWithASeparateController) {
  const auto module = Load(HOST_TEST_GAIN_MODULE);
  ASSERT_NE(module, nullptr);
  IPtr<vst3host::HostApplication> host = owned(new vst3host::HostApplication());
  IPtr<vst3host::RecordingComponentHandler> handler = owned(new vst3host::RecordingComponentHandler());
  TUID cid;
  ASSERT_TRUE(module->FindClass(kVstAudioEffectClass, cid));
  std::string error;
  const auto gain = vst3host::Instance::Create(*module, cid, host->Context(), handler, &error);
  ASSERT_NE(gain, nullptr) << error;
  EXPECT_FALSE(gain->IsSingleComponent());
  EXPECT_NE(static_cast<FUnknown*>(gain->Controller()), static_cast<FUnknown*>(gain->Component()));
  EXPECT_EQ(gain->UnitInfo(), nullptr);

  const std::vector<vst3host::ParameterDescription> parameters = gain->Parameters();
  ASSERT_EQ(parameters.size(), 1u);
  EXPECT_EQ(parameters[0].title, "Level");
  EXPECT_EQ(parameters[0].units, "x");
  EXPECT_EQ(gain->DisplayText(parameters[0].id, 0.25), "0.500");
  EXPECT_EQ(gain->Controller()->getParamNormalized(parameters[0].id), 0.5) << "started from the component's state";
  EXPECT_EQ(gain->AudioBuses(kInput)[1].name, "Key");

  // A class id the factory does not know, and one that names the controller rather than a component.
  TUID unknown = {};
  EXPECT_EQ(vst3host::Instance::Create(*module, unknown, host->Context(), nullptr, &error), nullptr);
  EXPECT_EQ(error, "the factory could not create the class as a component");
}

TEST(HostingLayer, HostContextOffersTheTraceSinkOnlyWithAReceiver) {
  IPtr<vst3host::HostApplication> quiet = owned(new vst3host::HostApplication());
  FUnknownPtr<IHostTraceSink> none(quiet->Context());
  EXPECT_FALSE(none);

  std::vector<std::string> reports;
  IPtr<vst3host::HostApplication> listening =
      owned(new vst3host::HostApplication("Listening Host", [&reports](const char* op, int, const char* message) {
        reports.push_back(std::string(op) + ": " + message);
      }));
  FUnknownPtr<IHostTraceSink> sink(listening->Context());
  ASSERT_TRUE(sink);
  sink->trace("Somebody::something", 1, "hello");
  EXPECT_EQ(reports, std::vector<std::string>{"Somebody::something: hello"});

  // What a Velmora instance reports when the host processes before any setup.
  const auto module = Load(VELMORA_BUNDLE_DIR);
  ASSERT_NE(module, nullptr);
  {
    const auto velmora = CreateEffect(*module, listening);
    ASSERT_NE(velmora, nullptr);
    vst3host::ProcessBuffers buffers(kSample32, 64, {2, 2}, {2});
    EXPECT_EQ(velmora->Processor()->process(buffers.Data(64)), kResultFalse);
  }
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1], std::string("IPlugVST3::process: host breach: ") +
                            HostBreachTextOf(HostBreach::ProcessBeforeSetup).what + " (64 samples); " +
                            HostBreachTextOf(HostBreach::ProcessBeforeSetup).answer);
}

TEST(HostingLayer, HostTextsBecomeUtf8) {
  const char16 mixed[] = {'A', 0x00E9, 0x20AC, 0xD83C, 0xDFB5, 0xDC00, 'z', 0, 'x'};
  EXPECT_EQ(vst3host::Utf16ToUtf8(mixed, 9), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5\xEF\xBF\xBDz");
  EXPECT_EQ(vst3host::Utf16ToUtf8(mixed, 1), "A") << "bounded by the field";
  EXPECT_EQ(vst3host::Utf16ToUtf8(mixed + 3, 1), "\xEF\xBF\xBD") << "a pair cut by the field's end";
  const char field[4] = {'a', 'b', 'c', 'd'};  // a text as long as its field carries no terminator
  EXPECT_EQ(vst3host::FieldText(field, sizeof field), "abcd");
}

TEST(HostingLayer, ModulesThatCannotBeLoadedSayWhy) {
  std::string error;
  EXPECT_EQ(vst3host::Module::Load("/nowhere/Missing.vst3", &error), nullptr);
  EXPECT_EQ(error.rfind("cannot open /nowhere/Missing.vst3: ", 0), 0u) << error;
  EXPECT_EQ(vst3host::Module::Load("/lib/x86_64-linux-gnu/libm.so.6", &error), nullptr);
  EXPECT_NE(error.find("does not export ModuleEntry, ModuleExit and GetPluginFactory"), std::string::npos) << error;
}

}  // namespace
