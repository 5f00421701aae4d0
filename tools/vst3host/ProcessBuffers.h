#pragma once
// The audio side of a process call: sample storage for every channel of the input and output
// buses, the per-bus channel pointer arrays, and the ProcessData that points at them, in either
// 32-bit or 64-bit samples. Samples are read and written as doubles whatever the sample size.

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <vector>

namespace vst3host {

class ProcessBuffers {
public:
  // inputBuses / outputBuses: channel count of each bus, e.g. {2, 2} (main + aux) and {2}.
  ProcessBuffers(Steinberg::int32 symbolicSampleSize, int maxFrames, std::vector<int> inputBuses,
                 std::vector<int> outputBuses);
  ProcessBuffers(const ProcessBuffers&) = delete;
  ProcessBuffers& operator=(const ProcessBuffers&) = delete;

  // The ProcessData for a block of `frames` samples (at most maxFrames), with the sample size,
  // buses and the given optional parameter changes, events and context.
  Steinberg::Vst::ProcessData& Data(int frames, Steinberg::Vst::IParameterChanges* changes = nullptr,
                                    Steinberg::Vst::IEventList* events = nullptr,
                                    Steinberg::Vst::ProcessContext* context = nullptr);

  bool Is64() const { return mSampleSize == Steinberg::Vst::kSample64; }
  int MaxFrames() const { return mMaxFrames; }
  int InputChannels(int bus) const { return mIn[static_cast<size_t>(bus)].channels; }
  int OutputChannels(int bus) const { return mOut[static_cast<size_t>(bus)].channels; }

  void SetInput(int bus, int ch, int frame, double v);
  double Input(int bus, int ch, int frame) const;
  double Output(int bus, int ch, int frame) const;
  // Fills an input channel from samples[0 ..] (at most maxFrames of them).
  void SetInput(int bus, int ch, const std::vector<double>& samples);
  // The first n samples (at most maxFrames) of an input channel from src, or silence for a null
  // src; and of an output channel into dst. Converted from and to the sample size in one pass,
  // for hosts that stream audio through block by block.
  void SetInputBlock(int bus, int ch, const double* src, int n);
  void ReadOutputBlock(int bus, int ch, double* dst, int n) const;
  // Copies the first `frames` samples of an output channel.
  std::vector<double> OutputBlock(int bus, int ch, int frames) const;
  // Fills every input and output channel with v (outputs too, to see what the plug-in wrote).
  void FillAll(double v);

  // Raw access for tests that tamper with what the host hands over.
  Steinberg::Vst::AudioBusBuffers* InputBuses() { return mInBuses.data(); }
  Steinberg::Vst::AudioBusBuffers* OutputBuses() { return mOutBuses.data(); }

private:
  struct Bus {
    int channels = 0;
    std::vector<std::vector<float>> f32;
    std::vector<std::vector<double>> f64;
    std::vector<float*> ptr32;
    std::vector<double*> ptr64;
  };
  void Init(Bus& bus, int channels);
  void Bind(Bus& bus, Steinberg::Vst::AudioBusBuffers& buffers);

  Steinberg::int32 mSampleSize;
  int mMaxFrames;
  std::vector<Bus> mIn, mOut;
  std::vector<Steinberg::Vst::AudioBusBuffers> mInBuses, mOutBuses;
  Steinberg::Vst::ProcessData mData;
};

}  // namespace vst3host
