#include "framework/graphics/EditGesture.h"

#include "framework/IPlugBase.h"

void EditGesture::PointerDown() {
  End();
  mScope = Scope::kPointer;
}

void EditGesture::PointerUp() {
  End();
  mScope = Scope::kNone;
}

void EditGesture::WheelNotch(int idleTicks, bool duringDrag) {
  if (mScope == Scope::kPointer && duringDrag) return;
  if (mScope == Scope::kPointer) End();
  mScope = Scope::kWheel;
  mWheelTicksLeft = idleTicks > 0 ? idleTicks : 1;
}

void EditGesture::Tick() {
  if (mScope != Scope::kWheel || --mWheelTicksLeft > 0) return;
  End();
  mScope = Scope::kNone;
}

void EditGesture::PointerLeft() {
  if (mScope != Scope::kWheel) return;
  End();
  mScope = Scope::kNone;
}

void EditGesture::EndAll() {
  End();
  mScope = Scope::kNone;
}

void EditGesture::Forget() {
  mOpenParam = -1;
  mScope = Scope::kNone;
}

void EditGesture::Edit(int paramIdx, double normalized) {
  if (!mPlugin) return;
  if (mOpenParam != paramIdx) {
    End();
    mPlugin->BeginParamEdit(paramIdx);
    mOpenParam = paramIdx;
  }
  mPlugin->SetParamFromEditor(paramIdx, normalized);
  if (mScope == Scope::kNone) End();
}

void EditGesture::End() {
  if (mOpenParam < 0) return;
  const int param = mOpenParam;
  mOpenParam = -1;
  if (mPlugin) mPlugin->EndParamEdit(param);
}
