#include "tools/vst3host/ProcessBuffers.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

ProcessBuffers::ProcessBuffers(int32 symbolicSampleSize, int maxFrames, std::vector<int> inputBuses,
                               std::vector<int> outputBuses)
    : mSampleSize(symbolicSampleSize), mMaxFrames(maxFrames > 0 ? maxFrames : 1) {
  mIn.resize(inputBuses.size());
  mOut.resize(outputBuses.size());
  mInBuses.resize(inputBuses.size());
  mOutBuses.resize(outputBuses.size());
  for (size_t b = 0; b < inputBuses.size(); ++b) {
    Init(mIn[b], inputBuses[b]);
    Bind(mIn[b], mInBuses[b]);
  }
  for (size_t b = 0; b < outputBuses.size(); ++b) {
    Init(mOut[b], outputBuses[b]);
    Bind(mOut[b], mOutBuses[b]);
  }
}

void ProcessBuffers::Init(Bus& bus, int channels) {
  bus.channels = channels;
  const size_t n = static_cast<size_t>(mMaxFrames);
  for (int c = 0; c < channels; ++c) {
    if (Is64()) {
      bus.f64.emplace_back(n, 0.0);
      bus.ptr64.push_back(bus.f64.back().data());
    } else {
      bus.f32.emplace_back(n, 0.0f);
      bus.ptr32.push_back(bus.f32.back().data());
    }
  }
}

void ProcessBuffers::Bind(Bus& bus, AudioBusBuffers& buffers) {
  buffers.numChannels = bus.channels;
  buffers.silenceFlags = 0;
  if (Is64())
    buffers.channelBuffers64 = bus.ptr64.data();
  else
    buffers.channelBuffers32 = bus.ptr32.data();
}

ProcessData& ProcessBuffers::Data(int frames, IParameterChanges* changes, IEventList* events, ProcessContext* context) {
  mData = ProcessData();
  mData.processMode = kRealtime;
  mData.symbolicSampleSize = mSampleSize;
  mData.numSamples = frames;
  mData.numInputs = static_cast<int32>(mInBuses.size());
  mData.numOutputs = static_cast<int32>(mOutBuses.size());
  mData.inputs = mInBuses.empty() ? nullptr : mInBuses.data();
  mData.outputs = mOutBuses.empty() ? nullptr : mOutBuses.data();
  mData.inputParameterChanges = changes;
  mData.inputEvents = events;
  mData.processContext = context;
  return mData;
}

void ProcessBuffers::SetInput(int bus, int ch, int frame, double v) {
  Bus& b = mIn[static_cast<size_t>(bus)];
  if (Is64())
    b.f64[static_cast<size_t>(ch)][static_cast<size_t>(frame)] = v;
  else
    b.f32[static_cast<size_t>(ch)][static_cast<size_t>(frame)] = static_cast<float>(v);
}

double ProcessBuffers::Input(int bus, int ch, int frame) const {
  const Bus& b = mIn[static_cast<size_t>(bus)];
  return Is64() ? b.f64[static_cast<size_t>(ch)][static_cast<size_t>(frame)]
                : b.f32[static_cast<size_t>(ch)][static_cast<size_t>(frame)];
}

double ProcessBuffers::Output(int bus, int ch, int frame) const {
  const Bus& b = mOut[static_cast<size_t>(bus)];
  return Is64() ? b.f64[static_cast<size_t>(ch)][static_cast<size_t>(frame)]
                : b.f32[static_cast<size_t>(ch)][static_cast<size_t>(frame)];
}

void ProcessBuffers::SetInput(int bus, int ch, const std::vector<double>& samples) {
  SetInputBlock(bus, ch, samples.data(), static_cast<int>(samples.size()));
}

void ProcessBuffers::SetInputBlock(int bus, int ch, const double* src, int n) {
  Bus& b = mIn[static_cast<size_t>(bus)];
  const auto count = static_cast<size_t>(std::clamp(n, 0, mMaxFrames));
  if (Is64()) {
    double* dst = b.f64[static_cast<size_t>(ch)].data();
    if (src)
      std::copy_n(src, count, dst);
    else
      std::fill_n(dst, count, 0.0);
  } else {
    float* dst = b.f32[static_cast<size_t>(ch)].data();
    if (src)
      std::transform(src, src + count, dst, [](double v) { return static_cast<float>(v); });
    else
      std::fill_n(dst, count, 0.0f);
  }
}

void ProcessBuffers::ReadOutputBlock(int bus, int ch, double* dst, int n) const {
  const Bus& b = mOut[static_cast<size_t>(bus)];
  const auto count = static_cast<size_t>(std::clamp(n, 0, mMaxFrames));
  if (Is64())
    std::copy_n(b.f64[static_cast<size_t>(ch)].data(), count, dst);
  else
    std::copy_n(b.f32[static_cast<size_t>(ch)].data(), count, dst);
}

std::vector<double> ProcessBuffers::OutputBlock(int bus, int ch, int frames) const {
  std::vector<double> out(static_cast<size_t>(std::clamp(frames, 0, mMaxFrames)));
  ReadOutputBlock(bus, ch, out.data(), static_cast<int>(out.size()));
  return out;
}

void ProcessBuffers::FillAll(double v) {
  for (auto* list : {&mIn, &mOut}) {
    for (Bus& b : *list) {
      for (auto& ch : b.f32) std::fill(ch.begin(), ch.end(), static_cast<float>(v));
      for (auto& ch : b.f64) std::fill(ch.begin(), ch.end(), v);
    }
  }
}

}  // namespace vst3host
