#pragma once
// The editor's drawing surface and event router. It owns its controls; the plug-in base owns it.
// (The editor work extends this with bitmaps, painting and mouse routing.)
//
// The plug-in base reaches the graphics object only through inline accessors and virtual calls,
// so the framework core links without the graphics library.

#include "framework/GrowableArray.h"
#include "framework/graphics/IControl.h"

class IPlugBase;

class IGraphics {
public:
  IGraphics(IPlugBase* plugin, int width, int height, int frameRate)
      : mPlugin(plugin), mWidth(width), mHeight(height), mFrameRate(frameRate) {}
  virtual ~IGraphics() = default;
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // Appends a control (taking ownership) and returns its index.
  int AddControl(IControl* control);
  // Inserts the full-size background at index 0, shifting the others up.
  void AddBackground(IControl* control);
  int ControlCount() const { return mControls.Count(); }
  IControl* Control(int i) const { return mControls.Get(i); }

  virtual void CreateDrawBitmaps() {}
  // Plug-in to controls: every control bound to paramIdx (directly or as its first matching
  // auxiliary binding) receives the value, normalised first when isNormalized is false.
  virtual void PushParamToControls(int paramIdx, double value, bool isNormalized);

  IPlugBase* GetPlugin() const { return mPlugin; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FrameRate() const { return mFrameRate; }

protected:
  OwnedList<IControl> mControls;
  IPlugBase* mPlugin;
  int mWidth;
  int mHeight;
  int mFrameRate;
};
