#pragma once
// The editor view the host asks the controller for. It draws nothing itself: it hands the host's
// parent window to the plug-in's graphics object, reports the editor's size and relays the
// host's size confirmations. It keeps the plug-in alive while the host holds it.

#include "public.sdk/source/common/pluginview.h"

#include <memory>

class EditorRunLoop;
class IPlugVST3;

class IPlugVST3View : public Steinberg::CPluginView {
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

  // Asks the host frame to resize this view to width x height; the host's onSize answer then
  // reaches the plug-in's window-resized hook. Without a frame nothing is asked.
  void RequestResize(int width, int height);
  bool ExpectingNewSize() const { return mExpectingNewSize; }

private:
  IPlugVST3* mPlugin;
  // The host's run loop while the window is open, for platforms driven by it (X11).
  std::unique_ptr<EditorRunLoop> mRunLoop;
  bool mExpectingNewSize = false;
};
