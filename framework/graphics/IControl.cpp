#include "framework/graphics/IControl.h"

#include "framework/IPlugBase.h"
#include "framework/graphics/IGraphics.h"

IControl::IControl(IPlugBase* plugin, const IRect& rect, int paramIdx, int blendKind)
    : mPlugin(plugin), mRect(rect), mHitRect(rect), mParamIdx(paramIdx), mBlend(blendKind, 1.0f) {}

IControl::~IControl() = default;

void IControl::OnPress(int /*x*/, int /*y*/, const IModifiers& mods) {
  if (mods.R) PromptParamEdit();
}

void IControl::OnDoubleClick(int /*x*/, int /*y*/, const IModifiers& /*mods*/) {
  const double reset = mResetValue;
  if (reset >= 0.0) {
    mValue = reset;
    MarkDirty(true);
  }
}

void IControl::SetValueFromPlugin(double value) {
  if (mResetValue < 0.0) {
    mResetValue = value;
    mValue = value;
    return;
  }
  // Written as a negated equality so that a NaN counts as a change.
  if (!(value == mValue)) {
    mValue = value;
    // paintAgain goes up before needsPaint, so a pass cleaning in between keeps the control dirty.
    SetPaintAgain();
    MarkDirty(false);
  }
}

void IControl::SetValueFromUser(double value) {
  if (!(value == mValue)) {
    mValue = value;
    SetPaintAgain();
    MarkDirty(true);
  }
}

void IControl::SetAuxValueFromPlugin(int auxIdx, double value) {
  AuxParam* aux = mAuxParams.At(auxIdx);
  if (aux && !(value == aux->value)) {
    aux->value = value;
    SetPaintAgain();
    MarkDirty(false);
  }
}

void IControl::SetHidden(bool hidden) {
  mHidden = hidden;
  SetPaintAgain();
  MarkDirty(false);
}

void IControl::SetGreyed(bool greyed) {
  mGreyed = greyed;
  mBlend.weight = greyed ? 0.25f : 1.0f;
  MarkDirty(false);
}

void IControl::MarkDirty(bool pushToPlugin) {
  double v = mValue;
  if (v < mMinValue)
    v = mMinValue;
  else if (v > mMaxValue)
    v = mMaxValue;
  mValue = v;
  mPaintFlags.fetch_or(kNeedsPaint, std::memory_order_release);
  if (!pushToPlugin || !mPlugin || mParamIdx < 0) return;
  // Through the graphics object, which brackets the edit in the action's gesture.
  if (mGraphics)
    mGraphics->UserEdit(mParamIdx, v);
  else
    mPlugin->SetParamFromEditor(mParamIdx, v);
}

void IControl::MarkClean() {
  // needsPaint = paintAgain, paintAgain = false, in one step against concurrent setters.
  unsigned flags = mPaintFlags.load(std::memory_order_relaxed);
  unsigned next;
  do {
    next = (flags & kPaintAgain) ? kNeedsPaint : 0u;
  } while (!mPaintFlags.compare_exchange_weak(flags, next, std::memory_order_acq_rel, std::memory_order_relaxed));
}

void IControl::PromptParamEdit() {
  if (mParamIdx < 0 || mPromptDisabled || !mPlugin || !mGraphics) return;
  IParam* param = mPlugin->GetParam(mParamIdx);
  if (!param) return;
  IRect box = mRect;
  if (param->NDisplayTexts() == 0) {
    // A small entry box centred on the control; the centre is taken in single precision.
    const int cx = static_cast<int>(static_cast<float>(mRect.L + mRect.R) * 0.5f);
    const int cy = static_cast<int>(static_cast<float>(mRect.T + mRect.B) * 0.5f);
    box = IRect(cx - 20, cy - 8, cx + 20, cy + 8);
  }
  mGraphics->PromptParamEdit(this, param, box);
  SetPaintAgain();
}
