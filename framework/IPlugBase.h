#pragma once
// The API-neutral plug-in base: parameters, presets and state, channel configuration and the
// audio buffer plumbing a binding drives, the plug-in mutex, plug-in and host identity, and
// the attached editor. The effect overrides the hooks; a binding supplies the host services.

#include "GrowableArray.h"
#include "IParam.h"
#include "ParamOrigin.h"
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
  // The longest block one setup may ask for. Every channel gets a scratch buffer of this many
  // doubles, so a setup allocates at most 8 MiB per channel (48 MiB for Velmora's six); hosts ask
  // for a few thousand frames, offline renderers for tens of thousands.
  static constexpr int kMaxBlockSize = 1 << 20;
  enum EBindingKind { kBindingVST3 = 1 };

  IPlugBase(const PluginIdentity& identity, int nParams, const char* channelIOStr, int nPresets, int bindingKind);
  // Deletes the attached editor first (its controls may still reach the plug-in), then
  // parameters, presets, channels and labels. The binding's last release, UI thread.
  virtual ~IPlugBase();
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // Threads: "audio" is the host's processing thread (the binding's process call), "UI" the host's
  // main thread (everything else, the editor included). "Under the lock" means the caller already
  // holds the plug-in mutex; the mutex is re-entrant, so taking it again there is fine.

  // ---- Hooks for the effect ----
  // The binding's setupProcessing, UI thread, after the new sample rate and block size are
  // stored; not under the lock. Default: takes and releases the lock (waits for a running block).
  virtual void ResetProcessing();
  // A parameter's value changed: the editor (SetParamFromEditor, UI thread), the host (process,
  // audio thread) or a state/preset load (UnserializeParams, either thread); always under the
  // lock. Which origins call it, and when, is kParamOriginEffects' derive column. Default: takes
  // and releases the lock.
  virtual void ParamChanged(int paramIdx);
  // One block of frames (at most the block size) through the effect; inputs and outputs are the
  // base's channel pointers and may share memory. The binding's process, audio thread, under the
  // lock, never while bypassed. Must not allocate, wait or do I/O. Default: input i to output i,
  // other outputs zeroed.
  virtual void ProcessBlock(double** inputs, double** outputs, int nFrames);
  // The view opened the editor's window inside the host's (after OpenEditorWindow) / is about to
  // close it (before CloseEditorWindow). UI thread, not under the lock. Default: nothing.
  virtual void EditorOpened() {}
  virtual void EditorClosed() {}
  // The host switched processing on or off (setActive). UI thread, not under the lock. Default:
  // takes and releases the lock.
  virtual void ActivationChanged(bool active);
  // A note message from the host's event list. Process, audio thread, under the lock, only when
  // the plug-in takes MIDI. Default: passes it on to SendMidiMessage.
  virtual void ProcessMidiMessage(const IMidiMsg& msg) { SendMidiMessage(msg); }
  // The binding's initialize identified the host (GetHost). UI thread, not under the lock.
  // Default: nothing.
  virtual void OnHostIdentified() {}

  // ---- State ----
  // Appends the plug-in's state to chunk; false when it could not grow. The binding's get/set
  // state (UI thread) and the preset operations (either thread); takes the lock itself. Default:
  // SerializeParams.
  virtual bool SerializeState(StateChunk& chunk) { return SerializeParams(chunk); }
  // Loads the state at startPos; returns the position after the last value read, or -1 when the
  // chunk ran short. Same callers and lock as SerializeState. Default: UnserializeParams.
  virtual int UnserializeState(const StateChunk& chunk, int startPos) { return UnserializeParams(chunk, startPos); }
  // Whether the values stored at bytes + 8 * startPos equal the current values (to 1e-5 in
  // single precision). The caller guarantees 8 * NParams() bytes. No caller in this program; takes
  // no lock.
  virtual bool CompareState(const uint8_t* bytes, int startPos) const;

  // The host confirmed a size this plug-in asked for (ResizeEditor). The view's onSize, UI thread,
  // not under the lock. Default: nothing.
  virtual void WindowResized(int /*width*/, int /*height*/) {}

  // ---- Editor edits and host services (the binding supplies the pure ones) ----
  // A right-click on a control bound to paramIdx at view position (x, y), in the view's device
  // pixels (the panel position times the display scale): the host's own parameter menu. The graphics core, UI thread,
  // not under the lock. Default: nothing.
  virtual void ShowHostParamMenu(int /*paramIdx*/, int /*x*/, int /*y*/) {}
  // A control moved: enters the value with the editor origin (sets the parameter, reports the edit
  // to the host, calls ParamChanged). The controls (MarkDirty), UI thread; takes the lock itself.
  // Rarely overridden.
  virtual void SetParamFromEditor(int paramIdx, double normalized);
  // The edit gesture towards the host: begin with a user action's first edit, report every value
  // (from SetParamFromEditor, under the lock), end when the action is over; the graphics core's
  // EditGesture decides when, so every begin has its end. UI thread.
  virtual void BeginParamEdit(int paramIdx) = 0;
  virtual void ReportParamEdit(int paramIdx, double normalized) = 0;
  virtual void EndParamEdit(int paramIdx) = 0;
  // Whether the host renders offline. Any thread, no lock. Default: false.
  virtual bool IsRenderingOffline() { return false; }
  // Transport as the last process call gave it; meant for the audio thread, under the lock.
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* numerator, int* denominator) = 0;
  virtual void GetTimeInfo(ITimeInfo* info) = 0;
  // The host id from LookUpHost (-1 before initialize), and the binding's kind. Any thread.
  virtual int GetHost() const { return mHostID; }
  virtual int GetBindingKind() const { return mBindingKind; }
  // Asks the host to resize the editor's view. The graphics core's ResizeSurface, UI thread.
  virtual void ResizeEditor(int width, int height) = 0;
  // Takes ownership of graphics (null: nothing happens), pushes every parameter into its controls
  // and creates its draw bitmaps. The effect's constructor; takes the lock itself. A replaced
  // editor is deleted.
  virtual void AttachGraphics(IGraphics* graphics);
  // Sets the reported latency and resizes the bypass delay line. Not under the lock (callers in
  // process hold it). The binding also tells the host (restart). No caller in this program.
  virtual void SetLatency(int samples);
  // A MIDI message to the host. Default and binding: false (nothing is sent).
  virtual bool SendMidiMessage(const IMidiMsg& /*msg*/) { return false; }
  // Every control bound to a parameter shows the parameter's current value (when an editor is
  // attached). The binding's set state and RestorePreset (under the lock, except the preset
  // restore of initialize); takes no lock itself.
  virtual void RedrawParamControls();
  // A preset was restored or captured (RestorePreset), either thread. Default: nothing.
  virtual void PresetsChangedByHost() {}

  // ---- Non-virtual operations ----
  bool LegalIO(int nIn, int nOut) const;
  static int LookUpHost(const char* name);

  void MakeDefaultPreset();
  bool RestorePreset(int index);
  bool SerializeParams(StateChunk& chunk);
  int UnserializeParams(const StateChunk& chunk, int startPos);

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
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  int GetTailSize() const { return mTailSize; }

  int NLegalIO() const { return mChannelIO.Count(); }
  const ChannelIO* GetLegalIO(int i) const { return mChannelIO.Get(i); }
  int NInChannels() const { return mInChannels.Count(); }
  int NOutChannels() const { return mOutChannels.Count(); }
  LatencyDelay* GetLatencyDelay() const { return mLatencyDelay; }

  // Bus labels and group names read "" outside their lists.
  int NInputBusLabels() const { return mInputBusLabels.Count(); }
  const char* GetInputBusLabel(int i) const;
  int NOutputBusLabels() const { return mOutputBusLabels.Count(); }
  const char* GetOutputBusLabel(int i) const;

  // Parameter group names, filled by the binding as it registers parameters (AddParamGroup).
  int NParamGroups() const { return mParamGroups.Count(); }
  const char* GetParamGroup(int i) const;

protected:
  // ---- Parameter entry: every stored parameter value comes through here ----
  // Stores value (normalised, or plain and clamped, as the origin's row in kParamOriginEffects
  // says) into parameter paramIdx and does the row's "Now" steps: push to the controls, report
  // the edit to the host, ParamChanged. An unknown index changes nothing. Takes the lock only
  // where the row says so; the audio thread's origin is entered under the caller's lock.
  void EnterParamValue(ParamOrigin origin, int paramIdx, double value);
  // The "AfterAll" derive step of a load: ParamChanged for every parameter, once all are stored,
  // so the effect never derives from a half-loaded set. Under the caller's lock.
  void FinishParamLoad(ParamOrigin origin);

  // ---- Binding plumbing: only the binding (a subclass) drives these ----
  void SetHost(const char* hostName, int version);
  void SetSampleRate(double sr) { mSampleRate = sr; }
  // Set by the host's bypass parameter in process and by a state restore.
  void SetBypassed(bool b) { mBypassed.store(b, std::memory_order_relaxed); }
  // Resizes (and zeroes) every channel's scratch buffer when the maximum block length changes.
  // All or nothing: false, with the earlier size and buffers kept, when frames is negative or
  // above kMaxBlockSize or memory ran out. The binding's setupProcessing, UI thread, under the lock.
  virtual bool SetBlockSize(int frames);
  int AddParamGroup(const char* name);  // returns the new count

  InputChannel* GetInChannel(int i) const { return mInChannels.Get(i); }
  OutputChannel* GetOutChannel(int i) const { return mOutChannels.Get(i); }
  double** InputPointers() { return mInputPtrs.Data(); }
  double** OutputPointers() { return mOutputPtrs.Data(); }

  // Marks an input (output) channel connected or disconnected; a disconnected channel points
  // at its own scratch buffer, and an output channel always starts there. A slot left on a
  // scratch buffer follows it when SetBlockSize reallocates.
  void SetInputChannelConnected(int i, bool connected);
  void SetOutputChannelConnected(int i, bool connected);

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
  // The origin UnserializeParams enters values with: a preset while RestorePreset loads one
  // (under the lock), a state otherwise.
  ParamOrigin mLoadOrigin = ParamOrigin::State;
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
