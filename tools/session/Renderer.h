#pragma once
// Offline processing of whole files through an instance, the way a host bounces a track:
// Create() sets the bus arrangements the effect declares, activates the main buses (and the aux bus
// when a sidechain is fed), and sets up offline processing at the file's rate. Between Create() and
// Run() the caller may restore state and set controller values. Run() activates
// the processor, streams the audio through in blocks (parameter changes ride on the first block),
// and compensates the reported latency so output sample n lines up with input sample n.
// Automation, when given, rides on every block it touches, and a block is cut into several process
// calls where a lane changes course, so each change reaches the effect on its own sample.
#include "tools/session/AutomationSchedule.h"
#include "tools/session/ParameterLookup.h"
#include "tools/session/PluginModule.h"
#include "tools/support/AudioStream.h"
#include "tools/support/ProgressBar.h"
#include "tools/vst3host/Instance.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora_host {

struct RenderSettings {
  int blockSize = 512;
  int precision = 32;               // 32 or 64-bit samples at the processor
  ProgressBar* progress = nullptr;  // told about the input processed, when given
};

class Renderer {
public:
  // `effect` names the instance's class in messages. Null when the effect cannot render so, with the
  // reason in `error`.
  static std::unique_ptr<Renderer> Create(vst3host::Instance& instance, const ClassDescription& effect,
                                          double sampleRate, bool useSidechain, const RenderSettings& settings,
                                          std::string* error);
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  int MainInputChannels() const { return mInputs.empty() ? 0 : mInputs[mMainInput].channels; }
  int SidechainChannels() const { return mAuxInput < 0 ? 0 : mInputs[static_cast<std::size_t>(mAuxInput)].channels; }
  std::string MainInputName() const { return mInputs.empty() ? std::string() : mInputs[mMainInput].name; }
  std::string SidechainName() const {
    return mAuxInput < 0 ? std::string() : mInputs[static_cast<std::size_t>(mAuxInput)].name;
  }

  int OutputChannels() const { return mOutputs.front().channels; }

  // `main` and `sidechain` must have the bus channel counts (see CheckBusChannels, SpreadSource)
  // and the rate given at construction. The output gets as many frames as the main input has; the
  // sidechain is padded with silence or cut to that length. `changes` ride on the first block;
  // `automation` (may be null) delivers its points block by block. False when the effect or a
  // stream fails, with the reason in `error`; Ctrl+C ends it with Cancelled (see Cancellation.h).
  bool Run(AudioSource& main, AudioSource* sidechain, AudioSink& output, const std::vector<ParameterValue>& changes,
           AutomationSchedule* automation, std::string* error);
  // The same for audio in memory.
  std::optional<AudioData> Run(const AudioData& main, const AudioData* sidechain,
                               const std::vector<ParameterValue>& changes, std::string* error);

private:
  Renderer(vst3host::Instance& instance, const ClassDescription& effect, double sampleRate,
           const RenderSettings& settings);
  bool SetUp(bool useSidechain, std::string* error);
  bool RunBlocks(AudioSource& main, AudioSource* sidechain, AudioSink& output,
                 const std::vector<ParameterValue>& changes, AutomationSchedule* automation, std::string* error);

  vst3host::Instance& mInstance;
  std::string mEffectName;
  double mSampleRate;
  RenderSettings mSettings;
  std::vector<vst3host::BusDescription> mInputs, mOutputs;
  std::size_t mMainInput = 0;
  int mAuxInput = -1;
  bool mSidechainActive = false;
  bool mActive = false;
};

// A source fits a bus with the same channel count, or any bus when it is mono (SpreadSource then
// copies it to every channel); anything else is refused, with a reason naming `what` ("input file
// x.wav") in `error`.
bool CheckBusChannels(int sourceChannels, int busChannels, const std::string& what, const std::string& busName,
                      std::string* error);

}  // namespace velmora_host
