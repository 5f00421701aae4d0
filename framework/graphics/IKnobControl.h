#pragma once
// A control whose value follows vertical (or horizontal) mouse drags and the wheel. One control
// extent of travel changes the value by 1 / dragRatio; Shift or Control make it ten times finer.

#include "framework/graphics/IControl.h"

class IKnobControl : public IControl {
public:
  enum EAxis { AxisVertical = 0, AxisHorizontal = 1 };

  IKnobControl(IPlugBase* plugin, const IRect& rect, int paramIdx, int dragAxis, double dragRatio,
               int blendKind = IBlend::BlendOver)
      : IControl(plugin, rect, paramIdx, blendKind), mDragAxis(dragAxis), mDragRatio(dragRatio) {}

  // Moving the pointer up (or right) raises the value; no acceleration.
  void OnDrag(int x, int y, int dX, int dY, const IModifiers& mods) override;
  // 0.01 per notch, 0.001 with Shift or Control, but at least one step of a stepped parameter
  // (from the step the value sets); the drag ratio does not apply. No notches, no change.
  void OnWheel(int x, int y, const IModifiers& mods, int notches) override;

  int DragAxis() const { return mDragAxis; }
  void SetDragAxis(int axis) { mDragAxis = axis; }
  double DragRatio() const { return mDragRatio; }
  void SetDragRatio(double ratio) { mDragRatio = ratio; }

protected:
  int mDragAxis;
  double mDragRatio;
};
