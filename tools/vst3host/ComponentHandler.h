#pragma once
// A component handler that records what the plug-in tells the host: edit gestures (begin,
// perform, end), restart requests and context-menu requests. Context menus are refused (no menu
// is returned), which a plug-in must cope with. Each call remembers the thread it came from.
// Given another object it also answers that object's interfaces, as Linux hosts that offer their
// run loop (Linux::IRunLoop) beyond the plug frame do through their handler.

#include "tools/vst3host/RefCounted.h"

#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <mutex>
#include <thread>
#include <vector>

namespace vst3host {

struct HandlerCall {
  enum Kind { kBeginEdit, kPerformEdit, kEndEdit, kRestart, kContextMenu };
  Kind kind;
  Steinberg::Vst::ParamID id;  // edits and context menus
  double value;                // perform edit
  Steinberg::int32 flags;      // restart
  std::thread::id thread;      // the thread the plug-in called from
};

class RecordingComponentHandler
    : public RefCounted<Steinberg::Vst::IComponentHandler, Steinberg::Vst::IComponentHandler3> {
public:
  // offered (e.g. a RunLoop) may be null; otherwise the handler holds a reference on it.
  explicit RecordingComponentHandler(Steinberg::FUnknown* offered = nullptr);
  ~RecordingComponentHandler() override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override;

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;
  Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(Steinberg::IPlugView* view,
                                                             const Steinberg::Vst::ParamID* paramID) override;

  std::vector<HandlerCall> Calls() const;
  void Clear();

private:
  void Record(HandlerCall call);

  Steinberg::FUnknown* mOffered;
  mutable std::mutex mMutex;
  std::vector<HandlerCall> mCalls;
};

}  // namespace vst3host
