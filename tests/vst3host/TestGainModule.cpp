// A second, unrelated VST3 effect for the host tests, shaped differently from Velmora on
// purpose: its edit controller is a separate class, its state lives in the component, its one
// parameter is continuous and follows automation sample by sample, it reports latency, and it
// mixes its aux input into the output.
//   out[n] = (main[n - 3] + aux[n - 3]) * 2 * level[n]     latency 3 samples, "Level" default 0.5
// level[n] follows the block's points as VST3 defines them: linear between points, from the
// previous value (as if at offset -1) to the first point, held after the last one.
#include "tools/vst3host/RefCounted.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using vst3host::RefCounted;

namespace {

const TUID kComponentCid = INLINE_UID(0x7E57C0DE, 0x6A11AA00, 0x00000000, 0x00000001);
const TUID kControllerCid = INLINE_UID(0x7E57C0DE, 0x6A11AA00, 0x00000000, 0x00000002);
constexpr ParamID kLevelId = 7;
constexpr int kLatency = 3;

class GainComponent : public RefCounted<IComponent, IAudioProcessor> {
public:
  tresult PLUGIN_API initialize(FUnknown*) override { return kResultOk; }
  tresult PLUGIN_API terminate() override { return kResultOk; }
  tresult PLUGIN_API getControllerClassId(TUID classId) override {
    std::memcpy(classId, kControllerCid, sizeof(TUID));
    return kResultOk;
  }
  tresult PLUGIN_API setIoMode(IoMode) override { return kResultOk; }
  int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) override {
    return type == kAudio ? (dir == kInput ? 2 : 1) : 0;
  }
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) override {
    if (type != kAudio || index < 0 || index >= getBusCount(type, dir)) return kInvalidArgument;
    bus.mediaType = kAudio;
    bus.direction = dir;
    bus.channelCount = 2;
    bus.busType = index == 0 ? kMain : kAux;
    bus.flags = index == 0 ? BusInfo::kDefaultActive : 0;
    UString(bus.name, 128).assign(dir == kOutput ? "Out" : index == 0 ? "In" : "Key");
    return kResultOk;
  }
  tresult PLUGIN_API getRoutingInfo(RoutingInfo&, RoutingInfo&) override { return kNotImplemented; }
  tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) override {
    if (type == kAudio && dir == kInput && index == 1) mKeyActive = state;
    return kResultOk;
  }
  tresult PLUGIN_API setActive(TBool) override {
    for (auto& line : mDelay) line.assign(kLatency, 0.0);
    return kResultOk;
  }
  tresult PLUGIN_API setState(IBStream* state) override {
    double level = 0;
    int32 got = 0;
    if (!state || state->read(&level, sizeof level, &got) != kResultOk || got != sizeof level) return kResultFalse;
    mLevel = level;
    return kResultOk;
  }
  tresult PLUGIN_API getState(IBStream* state) override {
    return state ? state->write(&mLevel, sizeof mLevel, nullptr) : kInvalidArgument;
  }

  tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                        int32 numOuts) override {
    const bool stereo = numIns == 2 && numOuts == 1 && inputs[0] == SpeakerArr::kStereo &&
                        inputs[1] == SpeakerArr::kStereo && outputs[0] == SpeakerArr::kStereo;
    return stereo ? kResultOk : kResultFalse;
  }
  tresult PLUGIN_API getBusArrangement(BusDirection, int32, SpeakerArrangement& arr) override {
    arr = SpeakerArr::kStereo;
    return kResultOk;
  }
  tresult PLUGIN_API canProcessSampleSize(int32 size) override { return size == kSample32 ? kResultOk : kResultFalse; }
  uint32 PLUGIN_API getLatencySamples() override { return kLatency; }
  tresult PLUGIN_API setupProcessing(ProcessSetup&) override { return kResultOk; }
  tresult PLUGIN_API setProcessing(TBool) override { return kNotImplemented; }
  uint32 PLUGIN_API getTailSamples() override { return 0; }

  tresult PLUGIN_API process(ProcessData& data) override {
    mLevels.assign(static_cast<size_t>(std::max(data.numSamples, 0)), mLevel);
    if (IParameterChanges* changes = data.inputParameterChanges)
      for (int32 i = 0; i < changes->getParameterCount(); ++i)
        if (IParamValueQueue* queue = changes->getParameterData(i); queue->getParameterId() == kLevelId) Follow(*queue);
    if (data.numInputs < 2 || data.numOutputs < 1) return kResultFalse;
    for (int c = 0; c < 2; ++c) {
      const float* in = data.inputs[0].channelBuffers32[c];
      const float* key = data.inputs[1].channelBuffers32[c];
      float* out = data.outputs[0].channelBuffers32[c];
      std::vector<double>& line = mDelay[c];
      for (int32 i = 0; i < data.numSamples; ++i) {
        line.push_back(in[i] + (mKeyActive ? key[i] : 0.0f));
        out[i] = static_cast<float>(line.front() * 2.0 * mLevels[static_cast<size_t>(i)]);
        line.erase(line.begin());
      }
    }
    return kResultOk;
  }

private:
  void Follow(IParamValueQueue& queue) {
    int32 fromOffset = -1;
    double from = mLevel;
    for (int32 p = 0; p < queue.getPointCount(); ++p) {
      int32 offset = 0;
      ParamValue value = 0;
      if (queue.getPoint(p, offset, value) != kResultOk) continue;
      for (int32 i = std::max(fromOffset + 1, 0); i <= offset && i < static_cast<int32>(mLevels.size()); ++i)
        mLevels[static_cast<size_t>(i)] = from + (value - from) * (i - fromOffset) / (offset - fromOffset);
      for (size_t i = static_cast<size_t>(std::max(offset + 1, 0)); i < mLevels.size(); ++i) mLevels[i] = value;
      fromOffset = offset;
      from = value;
    }
    mLevel = from;
  }

  double mLevel = 0.5;
  std::vector<double> mLevels;  // the level of every sample of the block being processed
  bool mKeyActive = false;
  std::vector<double> mDelay[2] = {std::vector<double>(kLatency), std::vector<double>(kLatency)};
};

class GainController : public RefCounted<IEditController> {
public:
  tresult PLUGIN_API initialize(FUnknown*) override { return kResultOk; }
  tresult PLUGIN_API terminate() override { return kResultOk; }
  tresult PLUGIN_API setComponentState(IBStream* state) override {
    double level = 0;
    if (!state || state->read(&level, sizeof level, nullptr) != kResultOk) return kResultFalse;
    mLevel = level;
    return kResultOk;
  }
  tresult PLUGIN_API setState(IBStream*) override { return kResultOk; }
  tresult PLUGIN_API getState(IBStream*) override { return kResultOk; }
  int32 PLUGIN_API getParameterCount() override { return 1; }
  tresult PLUGIN_API getParameterInfo(int32 index, ParameterInfo& info) override {
    if (index != 0) return kInvalidArgument;
    info = ParameterInfo{};
    info.id = kLevelId;
    UString(info.title, 128).assign("Level");
    UString(info.units, 128).assign("x");
    info.defaultNormalizedValue = 0.5;
    info.flags = ParameterInfo::kCanAutomate;
    return kResultOk;
  }
  tresult PLUGIN_API getParamStringByValue(ParamID id, ParamValue value, String128 text) override {
    if (id != kLevelId) return kResultFalse;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f", 2.0 * value);
    UString(text, 128).assign(buffer);
    return kResultOk;
  }
  tresult PLUGIN_API getParamValueByString(ParamID, TChar*, ParamValue&) override { return kNotImplemented; }
  ParamValue PLUGIN_API normalizedParamToPlain(ParamID, ParamValue value) override { return 2.0 * value; }
  ParamValue PLUGIN_API plainParamToNormalized(ParamID, ParamValue plain) override { return plain / 2.0; }
  ParamValue PLUGIN_API getParamNormalized(ParamID id) override { return id == kLevelId ? mLevel : 0.0; }
  tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) override {
    if (id != kLevelId) return kResultFalse;
    mLevel = value;
    return kResultOk;
  }
  tresult PLUGIN_API setComponentHandler(IComponentHandler*) override { return kResultOk; }
  IPlugView* PLUGIN_API createView(FIDString) override { return nullptr; }

private:
  double mLevel = 0.5;
};

class GainFactory : public RefCounted<IPluginFactory> {
public:
  tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) override {
    *info = PFactoryInfo("Host Test", "", "", PFactoryInfo::kNoFlags);
    return kResultOk;
  }
  int32 PLUGIN_API countClasses() override { return 2; }
  tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) override {
    if (index == 0)
      *info = PClassInfo(kComponentCid, PClassInfo::kManyInstances, kVstAudioEffectClass, "Test Gain");
    else if (index == 1)
      *info =
          PClassInfo(kControllerCid, PClassInfo::kManyInstances, kVstComponentControllerClass, "Test Gain Controller");
    else
      return kInvalidArgument;
    return kResultOk;
  }
  tresult PLUGIN_API createInstance(FIDString cid, FIDString interfaceId, void** obj) override {
    FUnknown* object = nullptr;
    if (FUnknownPrivate::iidEqual(cid, kComponentCid))
      object = static_cast<IComponent*>(new GainComponent);
    else if (FUnknownPrivate::iidEqual(cid, kControllerCid))
      object = static_cast<IEditController*>(new GainController);
    if (!object) {
      *obj = nullptr;
      return kNoInterface;
    }
    const tresult result = object->queryInterface(interfaceId, obj);
    object->release();
    return result;
  }
};

}  // namespace

extern "C" {
__attribute__((visibility("default"))) bool ModuleEntry(void*) { return true; }
__attribute__((visibility("default"))) bool ModuleExit() { return true; }
__attribute__((visibility("default"))) IPluginFactory* GetPluginFactory() { return new GainFactory; }
}
