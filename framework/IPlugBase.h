#pragma once
// The API-neutral plug-in base: parameters, presets and state, channel configuration and the
// audio buffer plumbing a binding drives, the plug-in mutex, plug-in and host identity, and
// the attached editor. The effect overrides the hooks; a binding supplies the host services.

#include "GrowableArray.h"
#include "IParam.h"
#include "PluginIdentity.h"
#include "PluginMutex.h"
#include "PluginTypes.h"
#include "StateChunk.h"

#include <atomic>
#include <cstdint>

class IGraphics;

class IPlugBase {
public:
  static constexpr int kNameLen = 128;
  enum EBindingKind { kBindingVST3 = 1 };

  IPlugBase(const PluginIdentity& identity, int nParams, const char* channelIOStr, int nPresets, int bindingKind);
  virtual ~IPlugBase();
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // ---- Hooks for the effect (defaults: lock+unlock, or pass-through for ProcessBlock) ----
  virtual void ResetProcessing();
  virtual void ParamChanged(int paramIdx);
  virtual void ProcessBlock(double** inputs, double** outputs, int nFrames);
  virtual void EditorOpened() {}
  virtual void EditorClosed() {}
  virtual void ActivationChanged(bool active);
  virtual void ProcessMidiMessage(const IMidiMsg& msg) { SendMidiMessage(msg); }
  virtual void OnHostIdentified() {}

  // ---- State (bodies: SerializeParams / UnserializeParams) ----
  virtual bool SerializeState(StateChunk& chunk) { return SerializeParams(chunk); }
  // Returns the position after the last value read, or -1 when the chunk ran short.
  virtual int UnserializeState(const StateChunk& chunk, int startPos) { return UnserializeParams(chunk, startPos); }
  // Whether the values stored at bytes + 8 * startPos equal the current values (to 1e-5 in
  // single precision). The caller guarantees 8 * NParams() bytes.
  virtual bool CompareState(const uint8_t* bytes, int startPos) const;

  virtual void WindowResized(int /*width*/, int /*height*/) {}

  // ---- Editor edits and host services ----
  virtual void ShowHostParamMenu(int /*paramIdx*/, int /*x*/, int /*y*/) {}
  virtual void SetParamFromEditor(int paramIdx, double normalized);
  virtual void BeginParamEdit(int paramIdx) = 0;
  virtual void ReportParamEdit(int paramIdx, double normalized) = 0;
  virtual void EndParamEdit(int paramIdx) = 0;
  virtual bool IsRenderingOffline() { return false; }
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* numerator, int* denominator) = 0;
  virtual void GetTimeInfo(ITimeInfo* info) = 0;
  virtual int GetHost() const { return mHostID; }
  virtual int GetBindingKind() const { return mBindingKind; }
  virtual void ResizeEditor(int width, int height) = 0;
  // Takes ownership of graphics (null: nothing happens), pushes every parameter into its
  // controls and creates its draw bitmaps.
  virtual void AttachGraphics(IGraphics* graphics);
  virtual void SetLatency(int samples);
  virtual bool SendMidiMessage(const IMidiMsg& /*msg*/) { return false; }
  virtual void RedrawParamControls();
  virtual void PresetsChangedByHost() {}
  virtual void SetBlockSize(int frames);

  // ---- Non-virtual operations ----
  bool LegalIO(int nIn, int nOut) const;
  static int LookUpHost(const char* name);
  void SetHost(const char* hostName, int version);

  void MakeDefaultPreset();
  bool RestorePreset(int index);
  bool SerializeParams(StateChunk& chunk);
  int UnserializeParams(const StateChunk& chunk, int startPos);

  // Audio plumbing, driven by the binding under the mutex; nFrames never exceeds the block size.
  // 32-bit hosts: converts the connected channels among firstChannel .. firstChannel + count - 1
  // into their scratch buffers, taking host pointers in order for connected channels only.
  void AttachInputBuffers(int firstChannel, int count, float** hostInputs, int nFrames);
  // Bypass: input i to output i (remaining outputs zeroed), or, with a latency and a delay line,
  // the inputs delayed by the latency.
  void PassThroughBuffers(int nFrames);
  void ZeroScratchBuffers();
  // 32-bit hosts: every connected output with a float destination receives its samples.
  void CopyOutputToHost(int nFrames);

  // ---- Accessors ----
  PluginMutex& Mutex() { return mMutex; }
  int NParams() const { return mParams.Count(); }
  IParam* GetParam(int i) const { return mParams.Get(i); }
  int NPresets() const { return mPresets.Count(); }
  PresetSlot* GetPreset(int i) const { return mPresets.Get(i); }
  int CurrentPresetIdx() const { return mCurrentPresetIdx; }
  IGraphics* GetGraphics() const { return mGraphics; }

  const char* EffectName() const { return mEffectName; }
  const char* ProductName() const { return mProductName; }
  const char* MfrName() const { return mMfrName; }
  int UniqueID() const { return mUniqueID; }
  int MfrID() const { return mMfrID; }
  int Version() const { return mVersion; }
  int HostVersion() const { return mHostVersion; }

  bool IsInstrument() const { return mIsInstrument; }
  bool DoesMidi() const { return mDoesMidi; }
  bool IsBypassed() const { return mBypassed.load(std::memory_order_relaxed); }
  void SetBypassed(bool b) { mBypassed.store(b, std::memory_order_relaxed); }
  double GetSampleRate() const { return mSampleRate; }
  void SetSampleRate(double sr) { mSampleRate = sr; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  int GetTailSize() const { return mTailSize; }

  int NLegalIO() const { return mChannelIO.Count(); }
  const ChannelIO* GetLegalIO(int i) const { return mChannelIO.Get(i); }
  int NInChannels() const { return mInChannels.Count(); }
  int NOutChannels() const { return mOutChannels.Count(); }
  InputChannel* GetInChannel(int i) const { return mInChannels.Get(i); }
  OutputChannel* GetOutChannel(int i) const { return mOutChannels.Get(i); }
  double** InputPointers() { return mInputPtrs.Data(); }
  double** OutputPointers() { return mOutputPtrs.Data(); }
  LatencyDelay* GetLatencyDelay() const { return mLatencyDelay; }

  // Marks an input (output) channel connected or disconnected; a disconnected channel points
  // at its own scratch buffer, and an output channel always starts there. A slot left on a
  // scratch buffer follows it when SetBlockSize reallocates.
  void SetInputChannelConnected(int i, bool connected);
  void SetOutputChannelConnected(int i, bool connected);

  // Bus labels and group names read "" outside their lists.
  int NInputBusLabels() const { return mInputBusLabels.Count(); }
  const char* GetInputBusLabel(int i) const;
  int NOutputBusLabels() const { return mOutputBusLabels.Count(); }
  const char* GetOutputBusLabel(int i) const;

  // Parameter group names, filled by the binding as it registers parameters.
  int NParamGroups() const { return mParamGroups.Count(); }
  const char* GetParamGroup(int i) const;
  int AddParamGroup(const char* name);  // returns the new count

protected:
  void SetInputBusLabel(int idx, const char* label);
  void SetOutputBusLabel(int idx, const char* label);
  void CreateLatencyDelay();
  void SetIsInstrument(bool b) { mIsInstrument = b; }
  void SetDoesMidi(bool b) { mDoesMidi = b; }

private:
  struct Label {
    char text[kNameLen];
  };

  OwnedList<ChannelIO> mChannelIO;
  PluginMutex mMutex;
  char mEffectName[kNameLen] = {};
  char mProductName[kNameLen] = {};
  char mMfrName[kNameLen] = {};
  int32_t mUniqueID;
  int32_t mMfrID;
  int32_t mVersion;
  int32_t mBindingKind;
  int32_t mHostID = -1;
  int32_t mHostVersion = 0;
  bool mIsInstrument = false;
  bool mDoesMidi = false;
  // Set by the audio thread (the host's bypass parameter) and read by the host's UI thread
  // without the plug-in mutex.
  std::atomic<bool> mBypassed{false};
  int32_t mCurrentPresetIdx = 0;
  double mSampleRate = 44100.0;
  int32_t mBlockSize = 0;
  int32_t mLatency = 0;
  int32_t mTailSize = 0;
  LatencyDelay* mLatencyDelay = nullptr;
  GrowableArray<const char*> mParamGroups;
  IGraphics* mGraphics = nullptr;
  OwnedList<IParam> mParams;
  OwnedList<PresetSlot> mPresets;
  GrowableArray<double*> mInputPtrs;
  GrowableArray<double*> mOutputPtrs;
  OwnedList<InputChannel> mInChannels;
  OwnedList<OutputChannel> mOutChannels;
  OwnedList<Label> mInputBusLabels;
  OwnedList<Label> mOutputBusLabels;
};
