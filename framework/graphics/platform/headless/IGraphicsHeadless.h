#pragma once
// The platform class for editors that open no window: tests, snapshots and hosts without a
// screen. It supports no parent window type and only counts what it would present; everything
// else is the core's answer for an editor without a window (IGraphics's defaults: dialogs and
// menus "not available", bitmaps from the resources embedded in the module). Nothing calls Tick()
// on its own: whoever drives the editor (a test, a snapshot) stands in for the timer.

#include "framework/graphics/IGraphics.h"

class IGraphicsHeadless : public IGraphics {
public:
  IGraphicsHeadless(IPlugBase* plugin, int width, int height, int frameRate,
                    const EmbeddedResourceTable& resources = EmbeddedResourceTable());

  void PresentRect(const IRect& rect) override;
  const char* GraphicsApiName() const override { return "Headless"; }

  // How many times PresentRect ran, and its last rectangle (what a window would have shown).
  int PresentCount() const { return mPresentCount; }
  const IRect& LastPresented() const { return mLastPresented; }

private:
  int mPresentCount = 0;
  IRect mLastPresented;
};
