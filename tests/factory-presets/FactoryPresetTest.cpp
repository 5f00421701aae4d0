// The factory presets as the build writes them: one file per entry of the table, each holding the
// entry's steps and description, and each doing on the demo programme what its name promises
// (the figures are those a listener's meters would show: loudness, range, true peak).
#include "plugin/VelmoraFactoryPresets.h"
#include "tests/support/TempFolder.h"
#include "tools/session/PluginModule.h"
#include "tools/session/PresetLibrary.h"
#include "tools/session/Renderer.h"
#include "tools/session/StateFiles.h"
#include "tools/support/LevelStats.h"
#include "tools/support/Loudness.h"
#include "tools/velmora-host/DemoProgram.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

namespace fs = std::filesystem;
using namespace velmora_host;

namespace {

constexpr const char* kFolder = VELMORA_FACTORY_PRESET_ROOT "/Corvanta/Velmora";

// The built module, loaded once, and its effect; without them no test here can run.
const PluginModule& Velmora() {
  static const std::unique_ptr<PluginModule> module = [] {
    std::string error;
    std::unique_ptr<PluginModule> opened = PluginModule::Open(ModuleOptions{VELMORA_BUNDLE_DIR, false}, &error);
    if (!opened || !opened->EffectClass(&error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::abort();
    }
    return opened;
  }();
  return *module;
}

const ClassDescription& VelmoraEffect() { return *Velmora().EffectClass(nullptr); }

std::unique_ptr<vst3host::Instance> WithPreset(const std::string& name) {
  std::string error;
  auto instance = Velmora().CreateEffect(nullptr, &error);
  EXPECT_TRUE(instance) << error;
  if (!instance) return instance;
  const std::string path = std::string(kFolder) + "/" + name + ".vstpreset";
  const std::optional<std::vector<char>> bytes = ReadBinaryFile(path, &error);
  EXPECT_TRUE(bytes && RestorePreset(*instance, VelmoraEffect(), *bytes, path, &error)) << error;
  return instance;
}

TEST(FactoryPresets, EveryEntryIsAFileHoldingItsStepsAndDescription) {
  std::set<std::string> expected;
  for (const FactoryPreset& preset : kFactoryPresets) {
    SCOPED_TRACE(preset.name);
    EXPECT_TRUE(expected.insert(std::string(preset.name) + ".vstpreset").second) << "named twice";
    EXPECT_GT(std::string(preset.description).size(), 20u);
    const auto instance = WithPreset(preset.name);
    ASSERT_TRUE(instance);
    for (int i = 0; i < kNumParams; ++i) {
      ASSERT_GE(preset.steps[i], 0);
      ASSERT_LE(preset.steps[i], kParamDefinitions[i].maxStep);
      const double normalized = instance->Controller()->getParamNormalized(static_cast<Steinberg::Vst::ParamID>(i));
      EXPECT_EQ(std::lround(normalized * kParamDefinitions[i].maxStep), preset.steps[i]) << kParamDefinitions[i].name;
    }
    EXPECT_EQ(PresetDescription(std::string(kFolder) + "/" + preset.name + ".vstpreset"), preset.description);
  }
  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(kFolder)) files.insert(entry.path().filename().string());
  EXPECT_EQ(files, expected);
  EXPECT_GE(files.size(), 8u);
}

// The generator writes Velmora's table through Velmora only; another module is refused in one line
// and nothing is written.
TEST(FactoryPresets, GeneratorRefusesAnotherModule) {
  const TempFolder temp;
  const std::string command = std::string("'") + VELMORA_PRESETGEN_EXE + "' '" + temp.Path("presets") + "' --module '" +
                              HOST_TEST_GAIN_MODULE + "' 2> '" + temp.Path("err") + "'";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  std::ifstream in(temp.Path("err"));
  std::string line, more;
  std::getline(in, line);
  EXPECT_EQ(line.rfind("velmora-presetgen: ", 0), 0u) << line;
  EXPECT_FALSE(std::getline(in, more)) << more;
  EXPECT_FALSE(fs::exists(temp.Path("presets")));
}

struct Measured {
  double lufsIn, lufsOut, rangeIn, rangeOut, truePeakOut, maxReduction;
};

Measured Measure(const AudioData& in, const AudioData& out, double makeupDb) {
  auto loudness = [](const AudioData& audio) {
    LoudnessMeter meter(audio.ChannelCount(), audio.sampleRate);
    std::vector<const double*> channels;
    for (const auto& c : audio.channels) channels.push_back(c.data());
    meter.Add(const_cast<const double* const*>(channels.data()), audio.FrameCount());
    return meter.Result();
  };
  const Loudness a = loudness(in), b = loudness(out);
  return {a.integratedLufs, b.integratedLufs, a.rangeLu,
          b.rangeLu,        b.truePeakDbtp,   EstimateMaxGainReductionDb(in, out, makeupDb)};
}

// Each preset on the demo material it is made for, and what must show in the figures.
TEST(FactoryPresets, EachDoesWhatItsNameSaysOnTheDemoProgramme) {
  const DemoProgram demo = SynthesiseDemoProgram(44100.0);
  AudioData padAndBass = demo.pad;
  for (std::size_t c = 0; c < 2; ++c)
    for (std::size_t i = 0; i < padAndBass.FrameCount(); ++i) padAndBass.channels[c][i] += demo.bass.channels[c][i];

  struct Case {
    const char* preset;
    const AudioData* input;
    const AudioData* sidechain;
    double makeupDb;
    std::function<void(const Measured&)> expect;
  };
  const Case cases[] = {
      {"Gentle Bus Glue", &demo.mix, nullptr, 2.0,
       [](const Measured& m) {
         EXPECT_NEAR(m.lufsOut, m.lufsIn, 1.0);  // about as loud, a few dB held back on the hits
         EXPECT_GT(m.maxReduction, 2.0);
         EXPECT_LT(m.maxReduction, 8.0);
       }},
      {"Vocal Leveller", &padAndBass, nullptr, 6.0,
       [](const Measured& m) {
         EXPECT_LT(m.rangeOut, m.rangeIn - 0.3);  // evened out
         EXPECT_GT(m.lufsOut, m.lufsIn + 1.0);
       }},
      {"Drum Smash (Parallel)", &demo.drums, nullptr, 0.0,
       [](const Measured& m) {
         EXPECT_GT(m.lufsOut, m.lufsIn + 1.0);  // the body comes up ...
         EXPECT_LT(m.truePeakOut, -1.0);        // ... the hits do not clip
       }},
      {"Master Limiter", &demo.mix, nullptr, 6.0,
       [](const Measured& m) {
         EXPECT_GT(m.lufsOut, m.lufsIn + 2.5);
         EXPECT_LT(m.truePeakOut, -0.5);
       }},
      {"Bass Tamer", &padAndBass, nullptr, 4.0,
       [](const Measured& m) {
         EXPECT_GT(m.maxReduction, 3.0);
         EXPECT_LT(m.rangeOut, m.rangeIn);
       }},
      {"De-Harsh", &demo.mix, nullptr, 2.0,
       [](const Measured& m) {
         EXPECT_GT(m.maxReduction, 3.0);
         EXPECT_NEAR(m.lufsOut, m.lufsIn, 1.5);
       }},
      {"Sidechain Ducking", &padAndBass, &demo.drums, 0.0,
       [](const Measured& m) {
         EXPECT_LT(m.lufsOut, m.lufsIn - 1.5);  // pad and bass duck under the drums
         EXPECT_GT(m.maxReduction, 10.0);
       }},
      {"Sidechain Ducking", &padAndBass, nullptr, 0.0,
       [](const Measured& m) { EXPECT_NEAR(m.lufsOut, m.lufsIn, 0.5); }},  // nothing on the key: no ducking
      {"Limiter Only", &demo.mix, nullptr, 2.0,
       [](const Measured& m) {
         EXPECT_LT(m.truePeakOut, -1.0);
         EXPECT_GT(m.lufsOut, m.lufsIn + 0.5);
         EXPECT_LT(m.lufsOut, m.lufsIn + 3.0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.preset) + (c.sidechain ? " with the drums on the sidechain" : ""));
    const auto instance = WithPreset(c.preset);
    ASSERT_TRUE(instance);
    std::string error;
    const auto renderer =
        Renderer::Create(*instance, VelmoraEffect(), 44100.0, c.sidechain != nullptr, RenderSettings{}, &error);
    ASSERT_TRUE(renderer) << error;
    const std::optional<AudioData> out = renderer->Run(*c.input, c.sidechain, {}, &error);
    ASSERT_TRUE(out) << error;
    c.expect(Measure(*c.input, *out, c.makeupDb));
  }
}

}  // namespace
