// IPlugVST3's edit controller: the host parameters' values and texts, the editor view, and the
// deferred notices that tell the host to reread values, sent from UI-thread timers.

#include "framework/vst3/IPlugVST3.h"

#include "framework/NumericConversions.h"
#include "framework/vst3/IPlugVST3View.h"
#include "framework/vst3/UiThreadTimer.h"

#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
// How often the UI-thread timers look for deferred notices: soon enough for a host's generic view,
// rare enough to cost nothing.
constexpr int kNoticePeriodMs = 50;
}  // namespace

// ---------------------------------------------------------------------------------------------
// Deferred notices

void IPlugVST3::RequestValuesReread() { mPendingRestartFlags.fetch_or(kParamValuesChanged, std::memory_order_release); }

void IPlugVST3::DeliverDeferredNotices() {
  // A new display scale resized the editor; the host's window follows from here.
  if (IPlugVST3View* view = GetOpenView(0)) view->DeliverPendingResize();
  if (!componentHandler) return;
  const int32 flags = mPendingRestartFlags.exchange(0, std::memory_order_acquire);
  if (flags) componentHandler->restartComponent(flags);
}

tresult PLUGIN_API IPlugVST3::setComponentHandler(IComponentHandler* handler) {
  CheckNotInsideProcess("IPlugVST3::setComponentHandler", __LINE__, LifecycleCall::ControllerEdit);
  const tresult result = SingleComponentEffect::setComponentHandler(handler);
  StartNoticeTimer();
  return result;
}

// The handler is asked first (hosts that offer their run loop beyond the plug frame offer it
// there or in their context); on Windows the timer is the module's own either way.
void IPlugVST3::StartNoticeTimer() {
  mNoticeTimer.reset();
  if (!componentHandler) return;
  auto tick = [this] { DeliverDeferredNotices(); };
  mNoticeTimer = StartUiThreadTimer(componentHandler, kNoticePeriodMs, tick);
  if (!mNoticeTimer && getHostContext()) mNoticeTimer = StartUiThreadTimer(getHostContext(), kNoticePeriodMs, tick);
  if (mNoticeTimer) mEditorNoticeTimer.reset();
}

void IPlugVST3::EditorFrameAttached(IPlugFrame* frame) {
  mEditorNoticeTimer.reset();
  if (mNoticeTimer || !frame) return;
  mEditorNoticeTimer = StartUiThreadTimer(frame, kNoticePeriodMs, [this] { DeliverDeferredNotices(); });
}

void IPlugVST3::EditorFrameRemoved() { mEditorNoticeTimer.reset(); }
bool IPlugVST3::AcceptNormalized(ParamID id, ParamValue* value, const char* operation, int line) {
  if (!std::isfinite(*value)) {
    ReportHostBreach(HostBreach::NonFiniteParameterValue, operation, line, "parameter %u set to %g", id, *value);
    return false;
  }
  if (*value < 0.0 || *value > 1.0) {
    ReportHostBreach(HostBreach::OutOfRangeParameterValue, operation, line, "parameter %u set to %g", id, *value);
    *value = ClampNormalized(*value);
  }
  return true;
}
// ---------------------------------------------------------------------------------------------
// Controller

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID id) {
  if (id == kBypassParamID) return mHostBypassValue.load(std::memory_order_relaxed);
  if (id == kPresetParamID) return mProgramValue.load(std::memory_order_relaxed);
  if (IsBaseParam(id)) return GetParam(static_cast<int>(id))->GetNormalized();
  return 0.0;
}

// The controller and the processor are one object, so an effect parameter's value set here is the
// value processed and saved; the binding's own parameters are stored for the controller only (the
// bypass as off or on): the host bypass switches the audio, and a program is restored, only when
// the value arrives through process, at the sample the host chose.
tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID id, ParamValue value) {
  CheckNotInsideProcess("IPlugVST3::setParamNormalized", __LINE__, LifecycleCall::ControllerEdit);
  if (id != kBypassParamID && id != kPresetParamID && !IsBaseParam(id)) return kResultFalse;
  if (!AcceptNormalized(id, &value, "IPlugVST3::setParamNormalized", __LINE__)) return kInvalidArgument;
  if (id == kBypassParamID)
    mHostBypassValue.store(value >= 0.5 ? 1.0 : 0.0, std::memory_order_relaxed);
  else if (id == kPresetParamID)
    mProgramValue.store(value, std::memory_order_relaxed);
  else
    EnterParamValue(ParamOrigin::Controller, static_cast<int>(id), value);
  return kResultOk;
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID id, ParamValue plain) {
  if (IsBaseParam(id)) return GetParam(static_cast<int>(id))->ToNormalized(plain);
  if (Parameter* parameter = getParameterObject(id)) return parameter->toNormalized(plain);
  return ClampNormalized(plain);
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) {
  Parameter* parameter = getParameterObject(id);
  if (!parameter || !string) return kResultFalse;
  parameter->toString(valueNormalized, string);
  return kResultOk;
}

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name) {
  CheckNotInsideProcess("IPlugVST3::createView", __LINE__, LifecycleCall::ControllerEdit);
  if (!name || std::strcmp(name, ViewType::kEditor) != 0) return nullptr;
  return new IPlugVST3View(this);
}

tresult PLUGIN_API IPlugVST3::setKnobMode(KnobMode /*mode*/) { return kResultOk; }
tresult PLUGIN_API IPlugVST3::openHelp(TBool /*onlyCheck*/) { return kResultFalse; }
tresult PLUGIN_API IPlugVST3::openAboutBox(TBool /*onlyCheck*/) { return kResultFalse; }
