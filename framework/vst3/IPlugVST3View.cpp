#include "framework/vst3/IPlugVST3View.h"

#include "framework/graphics/IGraphics.h"
#include "framework/vst3/HostRunLoop.h"
#include "framework/vst3/IPlugVST3.h"

#include "pluginterfaces/gui/iplugview.h"

#include <cmath>

using namespace Steinberg;

IPlugVST3View::IPlugVST3View(IPlugVST3* plugin) : CPluginView(nullptr), mPlugin(plugin) {
  mPlugin->addRef();
  mPlugin->AddOpenView(this);
}

IPlugVST3View::~IPlugVST3View() {
  // A host that releases the view without removing it first leaves no window behind.
  if (systemWindow) removed();
  // One editor view at a time: the plug-in forgets all of them, then may go away itself.
  mPlugin->ClearOpenViews();
  mPlugin->release();
}

// The editor's graphics object knows which parent windows its platform class can open in.
tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type) {
  IGraphics* graphics = mPlugin->GetGraphics();
  if (!graphics || !type) return kResultFalse;
  return graphics->SupportsWindowType(type) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type) {
  IGraphics* graphics = mPlugin->GetGraphics();
  if (!graphics) return kResultFalse;
  // Attaching to a window type we cannot open would leave the host with an empty frame it
  // believes is the editor.
  if (!type || !graphics->SupportsWindowType(type)) return kResultFalse;
  if (!parent) return kInvalidArgument;
  // Attached twice without removed: the old window goes first, as a host would expect.
  if (systemWindow) removed();
  // A platform driven by the host's run loop (X11) refuses to open without one, so a host that
  // offers none gets kResultFalse rather than a window that never repaints.
  mRunLoop = ConnectHostRunLoop(plugFrame);
  graphics->SetHostRunLoop(mRunLoop.get());
  if (!graphics->OpenEditorWindow(parent)) {
    graphics->SetHostRunLoop(nullptr);
    mRunLoop.reset();
    return kResultFalse;
  }
  systemWindow = parent;
  mPlugin->EditorFrameAttached(plugFrame);
  mPlugin->EditorOpened();
  return kResultOk;
}

// Only an attached view closes anything: a second removed, or one without attached, must not
// close a window another view of the plug-in opened since, nor report a closing twice.
tresult PLUGIN_API IPlugVST3View::removed() {
  IGraphics* graphics = mPlugin->GetGraphics();
  if (graphics && systemWindow) {
    mPlugin->EditorFrameRemoved();
    mPlugin->EditorClosed();
    graphics->CloseEditorWindow();
    graphics->SetHostRunLoop(nullptr);
  }
  mRunLoop.reset();
  systemWindow = nullptr;
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size) {
  IGraphics* graphics = mPlugin->GetGraphics();
  if (!graphics) return kResultFalse;
  if (!size) return kInvalidArgument;
  *size = ViewRect(0, 0, graphics->DeviceWidth(), graphics->DeviceHeight());
  mKnownWidth = size->getWidth();
  mKnownHeight = size->getHeight();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::onSize(ViewRect* newSize) {
  if (!newSize) return kResultOk;
  rect = *newSize;
  if (mExpectingNewSize) {
    // The plug-in asked in panel pixels and hears back in them.
    const IGraphics* graphics = mPlugin->GetGraphics();
    const IRect device(0, 0, newSize->getWidth(), newSize->getHeight());
    const IRect panel = graphics ? graphics->PanelRect(device) : device;
    mPlugin->WindowResized(panel.W(), panel.H());
    mExpectingNewSize = false;
  }
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::checkSizeConstraint(ViewRect* constrained) {
  const IGraphics* graphics = mPlugin->GetGraphics();
  if (graphics && constrained) {
    constrained->right = constrained->left + graphics->DeviceWidth();
    constrained->bottom = constrained->top + graphics->DeviceHeight();
  }
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::setContentScaleFactor(ScaleFactor factor) {
  IGraphics* graphics = mPlugin->GetGraphics();
  if (!graphics) return kResultFalse;
  // A scale of zero or less, or no number at all, is no scale to draw at: the editor keeps its own.
  if (!std::isfinite(factor) || factor <= 0.0f) return kInvalidArgument;
  graphics->SetDrawScaleFromHost(factor);
  return kResultTrue;
}

void IPlugVST3View::RequestResize(int width, int height) {
  if (!plugFrame) return;
  mExpectingNewSize = true;
  ViewRect size(0, 0, width, height);
  mKnownWidth = width;
  mKnownHeight = height;
  plugFrame->resizeView(this, &size);
}

void IPlugVST3View::DeliverPendingResize() {
  const IGraphics* graphics = mPlugin->GetGraphics();
  if (!graphics || !systemWindow || !plugFrame) return;
  const int width = graphics->DeviceWidth(), height = graphics->DeviceHeight();
  if (width == mKnownWidth && height == mKnownHeight) return;
  ViewRect size(0, 0, width, height);
  mKnownWidth = width;
  mKnownHeight = height;
  plugFrame->resizeView(this, &size);
}
