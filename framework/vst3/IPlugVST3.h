#pragma once
// The VST3 binding of the plug-in base: one object that is the host's component, audio
// processor, edit controller and unit-info provider. It builds the buses and host parameters,
// wires the host's audio buffers into the base's channel plumbing, applies host parameter
// changes inside process, carries the state stream and answers the base's host services. Its
// definitions live by role: IPlugVST3Lifecycle.cpp, IPlugVST3Processing.cpp,
// IPlugVST3Controller.cpp, IPlugVST3Units.cpp, IPlugVST3State.cpp and IPlugVST3.cpp (the rest).
//
// Threads: process runs on the host's audio thread and holds the plug-in mutex for the whole
// block; applying a state, setup, bus changes and terminate hold it too, so none of them can pull
// anything from under a block in progress. Everything else comes from the host's UI thread.
//
// State: the component and the controller hand out and take the same bytes (the object is both).
//
// Telling the host about values it does not know yet (a restore or a program change that moved
// them) never happens inside a host call: hosts hold their own locks around state, parameter,
// activation, setup and bus calls, and take them again when told to reread values. The notice
// waits in a flag and goes out from a UI-thread timer (UiThreadTimer.h) outside every host call;
// values the host set itself are never announced back to it.
//
// A host that breaks the contract (HostBreach.h) gets a lenient answer; the first time an instance
// meets each breach it reports it as a trace point and, when the host context offered an
// IHostTraceSink, to the host.

#include "framework/GrowableArray.h"
#include "framework/IPlugBase.h"
#include "framework/vst3/HostBreach.h"
#include "framework/vst3/Lifecycle.h"
#include "framework/vst3/SingleComponentEffect.h"

#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <thread>

class IHostTraceSink;
class IPlugVST3View;
class UiThreadTimer;

class IPlugVST3 : public IPlugBase, public SingleComponentEffect {
public:
  // Host parameter ids of the binding's own parameters, next to the base parameters 0 .. n-1.
  static constexpr Steinberg::Vst::ParamID kPresetParamID = 0x70727374;  // "prst"
  static constexpr Steinberg::Vst::ParamID kBypassParamID = 0x62706173;  // "bpas"
  static constexpr Steinberg::Vst::ProgramListID kFactoryPresetsListID = 0x70727374;

  IPlugVST3(const PluginIdentity& identity, int nParams, const char* channelIOStr, int nPresets);
  ~IPlugVST3() override;

  // ---- IPluginBase ----
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API terminate() SMTG_OVERRIDE;

  // ---- IComponent ----
  Steinberg::tresult PLUGIN_API activateBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                            Steinberg::int32 index, Steinberg::TBool state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) SMTG_OVERRIDE;

  // ---- IAudioProcessor ----
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs, Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;

  // ---- IEditController ----
  // Also starts the UI-thread timer that delivers deferred notices, where the host offers one.
  Steinberg::tresult PLUGIN_API setComponentHandler(Steinberg::Vst::IComponentHandler* handler) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID id,
                                                   Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue PLUGIN_API plainParamToNormalized(Steinberg::Vst::ParamID id,
                                                               Steinberg::Vst::ParamValue plain) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID id,
                                                      Steinberg::Vst::ParamValue valueNormalized,
                                                      Steinberg::Vst::String128 string) SMTG_OVERRIDE;
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setKnobMode(Steinberg::Vst::KnobMode mode) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API openHelp(Steinberg::TBool onlyCheck) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API openAboutBox(Steinberg::TBool onlyCheck) SMTG_OVERRIDE;

  // ---- IUnitInfo ----
  Steinberg::int32 PLUGIN_API getUnitCount() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex, Steinberg::Vst::UnitInfo& info) SMTG_OVERRIDE;
  Steinberg::int32 PLUGIN_API getProgramListCount() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex,
                                                   Steinberg::Vst::ProgramListInfo& info) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::String128 name) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramInfo(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::CString attributeId,
                                               Steinberg::Vst::String128 attributeValue) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID listId,
                                                     Steinberg::int32 programIndex) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                                    Steinberg::int16 midiPitch,
                                                    Steinberg::Vst::String128 name) SMTG_OVERRIDE;
  Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID unitId) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                             Steinberg::int32 busIndex, Steinberg::int32 channel,
                                             Steinberg::Vst::UnitID& unitId) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setUnitProgramData(Steinberg::int32 listOrUnitId, Steinberg::int32 programIndex,
                                                   Steinberg::IBStream* data) SMTG_OVERRIDE;

  // ---- Host services for the base ----
  void BeginParamEdit(int paramIdx) override;
  void ReportParamEdit(int paramIdx, double normalized) override;
  void EndParamEdit(int paramIdx) override;
  bool IsRenderingOffline() override;
  int GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTimeInfo(ITimeInfo* info) override;
  void ResizeEditor(int width, int height) override;
  void SetLatency(int samples) override;
  bool SendMidiMessage(const IMidiMsg& msg) override;
  void ShowHostParamMenu(int paramIdx, int x, int y) override;

  // ---- Open editor views (maintained by IPlugVST3View) ----
  void AddOpenView(IPlugVST3View* view);
  // Forgets every open view; a closing view calls it, so one editor view at a time is assumed.
  void ClearOpenViews();
  int NOpenViews() const { return mOpenViews.Count(); }
  IPlugVST3View* GetOpenView(int i) const;

  // An editor view's frame while the view is attached (IPlugVST3View, UI thread): a host whose
  // handler and context offer no run loop may offer one through its frame, which then delivers the
  // deferred notices while the editor is open.
  void EditorFrameAttached(Steinberg::IPlugFrame* frame);
  void EditorFrameRemoved();

  // Makes every host breach abort the process after it is reported: for modules built only to
  // test well-behaved host scenarios (the module entry sets it), never for a shipped module.
  static void SetHostBreachesFatal(bool fatal);

  // Whether the aux (sidechain) bus was active in the last processed block.
  bool SidechainActive() const { return mSidechainActive; }

  OBJ_METHODS(IPlugVST3, SingleComponentEffect)
  REFCOUNT_METHODS(SingleComponentEffect)

protected:
  Steinberg::tresult controllerSetState(Steinberg::IBStream* state) override;
  Steinberg::tresult controllerGetState(Steinberg::IBStream* state) override;
  Steinberg::tresult componentSetState(Steinberg::IBStream* state) override;
  Steinberg::tresult componentGetState(Steinberg::IBStream* state) override;

private:
  // The state stream (IPlugVST3State.cpp): the base's state chunk, then a little-endian 32-bit
  // bypass word. Restoring reads the whole stream before anything is applied; a stream with no
  // bytes at all is accepted and changes nothing when emptyMeansNothingStored (what an older
  // build's component handed out: its state travelled with the controller only).
  Steinberg::tresult SaveStateStream(Steinberg::IBStream* state);
  Steinberg::tresult RestoreStateStream(Steinberg::IBStream* state, bool emptyMeansNothingStored);
  // Asks the host, later, to read the parameter values again (restart, "parameter values
  // changed"). Any thread, process included: it only sets a flag, never calls the host.
  void RequestValuesReread();
  // Sends the restart requests waiting since the last delivery. The UI-thread timers only, outside
  // every host call.
  void DeliverDeferredNotices();
  void StartNoticeTimer();

  void BuildParameters();
  // A normalised value arriving from the host, held in [0, 1] (and reported when it was outside);
  // false when it is not a finite number and must be ignored.
  bool AcceptNormalized(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue* value, const char* operation, int line);
  void ApplyParameterChanges(Steinberg::Vst::IParameterChanges* changes);
  void ForwardNoteEvents(Steinberg::Vst::IEventList* events);
  // Points every base channel at host memory (offset frames into each host channel) or at its
  // own scratch buffer, converting 32-bit input into the scratch buffers.
  void WireChannels(const Steinberg::Vst::ProcessData& data, int offset, int frames, bool is64);
  bool IsBaseParam(Steinberg::Vst::ParamID id) const { return id < static_cast<Steinberg::Vst::ParamID>(NParams()); }
  // The first time this instance meets `breach`: "host breach: <what> (<detail>); <answer>" as a
  // trace point of `operation` at `line`, and to the host's trace sink. Later ones are silent.
  // Safe on the audio thread (no allocation) and on the UI thread (it takes the plug-in mutex).
  void ReportHostBreach(HostBreach breach, const char* operation, int line, const char* detailFormat, ...)
      __attribute__((format(printf, 5, 6)));
  void ReportHostBreachV(HostBreach breach, const char* operation, int line, const char* detailFormat, va_list args)
      __attribute__((format(printf, 5, 0)));
  void ForgetHostTraceSink();
  // Looks call up in the lifecycle rules for the current stage and reports the breach when the
  // stage does not allow it (detail: what the call carried); a UI-thread call made inside process
  // on the audio thread is reported too. Answers whether the stage allows the call; the caller
  // answers the host as it always did either way. Under the plug-in mutex.
  // Without a detail the report names the call and the stage.
  // The thread half alone, for UI-thread calls that need no stage (and take no lock).
  void CheckNotInsideProcess(const char* operation, int line, LifecycleCall call);
  bool CheckCall(LifecycleCall call, const char* operation, int line, const char* detailFormat = nullptr, ...)
      __attribute__((format(printf, 5, 6)));

  // Restart flags requested and not yet delivered. Set on any thread (release), taken on the UI
  // thread (acquire), so the host rereads values at least as new as the ones that asked.
  std::atomic<Steinberg::int32> mPendingRestartFlags{0};
  // The UI-thread timers delivering them: from the component handler or host context (UI thread,
  // setComponentHandler to terminate), else from an attached editor's frame.
  std::unique_ptr<UiThreadTimer> mNoticeTimer;
  std::unique_ptr<UiThreadTimer> mEditorNoticeTimer;

  Steinberg::int32 mSidechainChannels = 2;
  bool mSidechainActive = false;
  Steinberg::Vst::ProcessContext mProcessContext;
  GrowableArray<IPlugVST3View*> mOpenViews;
  // Where the host has taken the component (Lifecycle.h); under the plug-in mutex, which process
  // holds for the whole block.
  LifecycleState mState = LifecycleState::Created;
  // The thread running process while a block is in progress, else no thread. Relaxed: only ever
  // compared with the calling thread's own id, which is right whatever order the stores arrive in.
  std::atomic<std::thread::id> mProcessThread{};
  static_assert(std::atomic<std::thread::id>::is_always_lock_free, "process stores the id without a lock");
  // The controller's value of the host bypass (0 or 1): set by the host on the controller, by the
  // process call's bypass changes and by a restore. The processor's flag (IPlugBase bypassed) is
  // apart: only process and a restore switch the audio. Relaxed: written on either thread.
  std::atomic<double> mHostBypassValue{0.0};
  // The host's program-change value as last set on the controller or in process. Relaxed: written
  // on either thread, read by the controller.
  std::atomic<double> mProgramValue{0.0};
  // One bit per HostBreach already reported. Relaxed: the audio thread (process) and the UI thread
  // (setup, controller calls) may both report, and a bit only ever turns on.
  std::atomic<uint32_t> mReportedBreaches{0};
  static_assert(kHostBreachCount <= 32, "one bit per breach");
  // Offered by the host context at initialise, released at terminate; read and written under the
  // plug-in mutex.
  IHostTraceSink* mHostTraceSink = nullptr;
};
