#include "framework/graphics/IKnobControl.h"

#include "framework/IPlugBase.h"

void IKnobControl::OnDrag(int /*x*/, int /*y*/, int dX, int dY, const IModifiers& mods) {
  double gearing = mDragRatio;
  if (mods.C || mods.S) gearing *= 10.0;
  // The extent is the control's own rectangle: the top minus the bottom, so upward travel
  // (negative dY) raises the value.
  const int extent = mDragAxis == AxisVertical ? mRect.T - mRect.B : mRect.R - mRect.L;
  const int delta = mDragAxis == AxisVertical ? dY : dX;
  // A control without extent (an image that failed to load) or without gearing cannot be
  // dragged: the division would make the value infinite or NaN.
  if (extent == 0 || gearing == 0.0) return;
  mValue = mValue + static_cast<double>(delta) / static_cast<double>(extent) / gearing;
  MarkDirty(true);
}

void IKnobControl::OnWheel(int /*x*/, int /*y*/, const IModifiers& mods, int notches) {
  if (notches == 0) return;
  const double perNotch = (mods.C || mods.S) ? 0.001 : 0.01;
  // A knob with steps wider than the gearing moves a whole step per notch, from the step its value
  // sets: at 0.01 per notch a five-step knob would take 25 notches to move at all. Finer steps
  // keep the gearing (which then moves at least one step).
  const IParam* param = mPlugin && mParamIdx >= 0 ? mPlugin->GetParam(mParamIdx) : nullptr;
  if (param && param->Type() != IParam::kTypeDouble && param->Step() / (param->Max() - param->Min()) > perNotch) {
    mValue = param->ToNormalized(param->PlainForNormalized(mValue) + notches * param->Step());
  } else {
    mValue = mValue + notches * perNotch;
  }
  MarkDirty(true);
}
