// IPlugVST3's construction and what holds it together across roles: the host-breach reports, the
// services the plug-in base asks of its host, and the open editor views. The host's calls are
// answered by role in IPlugVST3Lifecycle.cpp, IPlugVST3Processing.cpp, IPlugVST3Controller.cpp,
// IPlugVST3Units.cpp and IPlugVST3State.cpp.

#include "framework/vst3/IPlugVST3.h"

#include "framework/Trace.h"
#include "framework/graphics/IGraphics.h"
#include "framework/vst3/IHostTraceSink.h"
#include "framework/vst3/IPlugVST3View.h"
#include "framework/vst3/UiThreadTimer.h"

#include "pluginterfaces/vst/ivstcontextmenu.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;

IPlugVST3::IPlugVST3(const PluginIdentity& identity, int nParams, const char* channelIOStr, int nPresets)
    : IPlugBase(identity, nParams, channelIOStr, nPresets, kBindingVST3) {
  std::memset(&mProcessContext, 0, sizeof(mProcessContext));
  for (int i = 0; i < NInChannels(); ++i) SetInputChannelConnected(i, true);
  for (int i = 0; i < NOutChannels(); ++i) SetOutputChannelConnected(i, true);
  if (NInChannels() > 0) CreateLatencyDelay();

  SetInputBusLabel(0, "Main Input");
  if (mSidechainChannels != 0) SetInputBusLabel(1, "Aux Input");
  if (!IsInstrument()) {
    SetOutputBusLabel(0, "Output");
  } else {
    for (int k = 0; 2 * k < NOutChannels(); ++k) {
      char label[32];
      std::snprintf(label, sizeof(label), "Output %i", k + 1);
      SetOutputBusLabel(k, label);
    }
  }
}

IPlugVST3::~IPlugVST3() {
  mEditorNoticeTimer.reset();
  mNoticeTimer.reset();
  ForgetHostTraceSink();
}

void IPlugVST3::ForgetHostTraceSink() {
  IHostTraceSink* sink = nullptr;
  {
    PluginLock lock(Mutex());
    std::swap(sink, mHostTraceSink);
  }
  if (sink) sink->release();
}

// ---------------------------------------------------------------------------------------------
// Host contract breaches

namespace {
std::atomic<bool> gHostBreachesFatal{false};
}  // namespace

void IPlugVST3::SetHostBreachesFatal(bool fatal) { gHostBreachesFatal.store(fatal, std::memory_order_relaxed); }

void IPlugVST3::ReportHostBreach(HostBreach breach, const char* operation, int line, const char* detailFormat, ...) {
  va_list args;
  va_start(args, detailFormat);
  ReportHostBreachV(breach, operation, line, detailFormat, args);
  va_end(args);
}

void IPlugVST3::ReportHostBreachV(HostBreach breach, const char* operation, int line, const char* detailFormat,
                                  va_list args) {
  const uint32_t bit = 1u << static_cast<unsigned>(breach);
  if (mReportedBreaches.fetch_or(bit, std::memory_order_relaxed) & bit) return;

  char detail[96];
  std::vsnprintf(detail, sizeof(detail), detailFormat, args);
  const HostBreachText& text = HostBreachTextOf(breach);
  char message[320];
  std::snprintf(message, sizeof(message), "host breach: %s (%s); %s", text.what, detail, text.answer);

  Trace(operation, line, "%s", message);
  {
    PluginLock lock(Mutex());
    if (mHostTraceSink) mHostTraceSink->trace(operation, line, message);
  }
  if (gHostBreachesFatal.load(std::memory_order_relaxed)) std::abort();
}

void IPlugVST3::CheckNotInsideProcess(const char* operation, int line, LifecycleCall call) {
  if (mProcessThread.load(std::memory_order_relaxed) == std::this_thread::get_id())
    ReportHostBreach(HostBreach::UiCallInsideProcess, operation, line, "%s", LifecycleCallName(call));
}

bool IPlugVST3::CheckCall(LifecycleCall call, const char* operation, int line, const char* detailFormat, ...) {
  if (IsUiThreadCall(call)) CheckNotInsideProcess(operation, line, call);
  const LifecycleRule& rule = LifecycleRuleOf(call, mState);
  if (rule.allowed) return true;
  if (detailFormat) {
    va_list args;
    va_start(args, detailFormat);
    ReportHostBreachV(rule.breach, operation, line, detailFormat, args);
    va_end(args);
  } else {
    ReportHostBreach(rule.breach, operation, line, "%s in the %s stage", LifecycleCallName(call),
                     LifecycleStateName(mState));
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Services for the base

void IPlugVST3::BeginParamEdit(int paramIdx) { beginEdit(static_cast<ParamID>(paramIdx)); }

void IPlugVST3::ReportParamEdit(int paramIdx, double normalized) {
  performEdit(static_cast<ParamID>(paramIdx), normalized);
}

void IPlugVST3::EndParamEdit(int paramIdx) { endEdit(static_cast<ParamID>(paramIdx)); }

bool IPlugVST3::IsRenderingOffline() { return processSetup.processMode == kOffline; }

int IPlugVST3::GetSamplePos() {
  return static_cast<int>(static_cast<uint32_t>(mProcessContext.projectTimeSamples & 0xFFFFFFFF));
}

double IPlugVST3::GetTempo() { return mProcessContext.tempo; }

void IPlugVST3::GetTimeSig(int* numerator, int* denominator) {
  if (numerator) *numerator = mProcessContext.timeSigNumerator;
  if (denominator) *denominator = mProcessContext.timeSigDenominator;
}

void IPlugVST3::GetTimeInfo(ITimeInfo* info) {
  if (!info) return;
  info->tempo = mProcessContext.tempo;
  info->samplePos = static_cast<double>(mProcessContext.projectTimeSamples);
  info->ppqPos = mProcessContext.projectTimeMusic;
  info->lastBar = mProcessContext.barPositionMusic;
  info->cycleStart = mProcessContext.cycleStartMusic;
  info->cycleEnd = mProcessContext.cycleEndMusic;
  info->numerator = mProcessContext.timeSigNumerator;
  info->denominator = mProcessContext.timeSigDenominator;
  info->transportIsRunning = (mProcessContext.state & ProcessContext::kPlaying) != 0;
  info->transportLoopEnabled = (mProcessContext.state & ProcessContext::kCycleActive) != 0;
}

void IPlugVST3::ResizeEditor(int width, int height) {
  const IGraphics* graphics = GetGraphics();
  if (!graphics) return;
  // The host's window is in device pixels.
  if (IPlugVST3View* view = GetOpenView(0))
    view->RequestResize(graphics->DeviceCoord(width), graphics->DeviceCoord(height));
}

void IPlugVST3::SetLatency(int samples) {
  IPlugBase::SetLatency(samples);
  if (!componentHandler) return;
  FUnknownPtr<IComponentHandler> handler(componentHandler);
  if (handler) handler->restartComponent(kLatencyChanged);
}

bool IPlugVST3::SendMidiMessage(const IMidiMsg& /*msg*/) { return false; }

void IPlugVST3::ShowHostParamMenu(int paramIdx, int x, int y) {
  if (!componentHandler) return;
  IPlugVST3View* view = GetOpenView(0);
  if (!view) return;
  FUnknownPtr<IComponentHandler3> handler(componentHandler);
  if (!handler) return;
  const ParamID id = static_cast<ParamID>(paramIdx);
  if (IContextMenu* menu = handler->createContextMenu(view, &id)) {
    menu->popup(x, y);
    menu->release();
  }
}

// ---------------------------------------------------------------------------------------------
// Open views

void IPlugVST3::AddOpenView(IPlugVST3View* view) { mOpenViews.Add(view); }

void IPlugVST3::ClearOpenViews() { mOpenViews.Clear(); }

IPlugVST3View* IPlugVST3::GetOpenView(int i) const {
  IPlugVST3View* const* view = mOpenViews.At(i);
  return view ? *view : nullptr;
}
