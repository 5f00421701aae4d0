#pragma once
// The plug-in of the editor windows' prompt tests: Velmora's own controls keep prompting off, so
// this one has an integer parameter ("Amount", 0..15, at 3) and an enumeration ("Shape": "Soft",
// "Medium", "Hard"), each on a blank control of a 200 x 120 editor.

#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphics.h"
#include "tests/framework/TestPlug.h"

class PromptTestPlug : public TestPlug {
public:
  static constexpr int kIntParam = 0;
  static constexpr int kEnumParam = 1;
  static constexpr int kWidth = 200;
  static constexpr int kHeight = 120;

  PromptTestPlug() : TestPlug("2-2 4-2", 1, false) {
    GetParam(kIntParam)->InitInt("Amount", 3, 15);
    GetParam(kEnumParam)->InitEnum("Shape", 0, 3);
    GetParam(kEnumParam)->SetDisplayText(0, "Soft");
    GetParam(kEnumParam)->SetDisplayText(1, "Medium");
    GetParam(kEnumParam)->SetDisplayText(2, "Hard");
  }

  // Gives graphics (kWidth x kHeight, taken over) its two controls and attaches it.
  void AttachPromptGraphics(IGraphics* graphics) {
    intControl = new BlankControl(this, IRect(20, 20, 120, 60), kIntParam);
    enumControl = new BlankControl(this, IRect(20, 70, 120, 110), kEnumParam);
    graphics->AddControl(intControl);
    graphics->AddControl(enumControl);
    AttachGraphics(graphics);
  }

  IControl* intControl = nullptr;  // owned by the graphics object
  IControl* enumControl = nullptr;

private:
  class BlankControl : public IControl {
  public:
    BlankControl(IPlugBase* plugin, const IRect& rect, int paramIdx) : IControl(plugin, rect, paramIdx) {}
    bool Paint(IGraphics&) override { return true; }
  };
};
