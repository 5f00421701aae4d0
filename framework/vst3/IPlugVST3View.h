#pragma once
// The editor view the host asks the controller for. It draws nothing itself: it hands the host's
// parent window to the plug-in's graphics object, reports the editor's size and relays the
// host's size confirmations. It keeps the plug-in alive while the host holds it.
//
// Display scale: the host may tell the view its content scale (IPlugViewContentScaleSupport, at any
// time the view exists; hosts usually do right after attached and when the window moves to a screen
// of another scale). The graphics object then draws DrawScale() times as large, and every size the
// view reports or is given (getSize, onSize, checkSizeConstraint, resize requests) is in the host's
// device pixels; the panel itself keeps its own 1x coordinates.

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"

#include <memory>

class EditorRunLoop;
class IPlugVST3;

// Interfaces without virtual destructors are the SDK's design: the view dies through release().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class IPlugVST3View : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport {
public:
  explicit IPlugVST3View(IPlugVST3* plugin);
  ~IPlugVST3View() override;
  IPlugVST3View(const IPlugVST3View&) = delete;
  IPlugVST3View& operator=(const IPlugVST3View&) = delete;

  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API removed() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) SMTG_OVERRIDE;
  // The size is fixed (canResize answers no): the rectangle is set to the editor's size in device
  // pixels, keeping its origin, and the answer stays kResultFalse.
  Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) SMTG_OVERRIDE;

  // Scales from 1 to 3 are taken as given, finite ones outside that range at the nearest end
  // (kResultTrue for both); zero, negative and non-finite factors change nothing (kInvalidArgument).
  // Without an editor: kResultFalse. A size change of an attached view is asked of the host later,
  // from the UI-thread timer (DeliverPendingResize), never from inside this call.
  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) SMTG_OVERRIDE;

  // Asks the host frame to resize this view to width x height; the host's onSize answer then
  // reaches the plug-in's window-resized hook. Without a frame nothing is asked.
  void RequestResize(int width, int height);
  bool ExpectingNewSize() const { return mExpectingNewSize; }
  // When attached and the editor's device size is not the one the host last heard of from the view
  // (getSize, a resize request), asks the frame for it, once per change: a host that grants
  // another size is not asked again and again. The plug-in's UI-thread timer,
  // between host calls: a new scale (the host's or, on Windows, the parent window's) resizes the
  // window, and the host learns of it here.
  void DeliverPendingResize();

  // The class keeps answering "CPluginView" to class-name queries (no OBJ_METHODS of its own).
  DEFINE_INTERFACES
  DEF_INTERFACE(IPlugViewContentScaleSupport)
  END_DEFINE_INTERFACES(CPluginView)
  REFCOUNT_METHODS(CPluginView)

private:
  IPlugVST3* mPlugin;
  // The host's run loop while the window is open, for platforms driven by it (X11).
  std::unique_ptr<EditorRunLoop> mRunLoop;
  bool mExpectingNewSize = false;
  // The device size the host last heard of from the view (0 x 0 before it asked).
  int mKnownWidth = 0;
  int mKnownHeight = 0;
};
#pragma GCC diagnostic pop
