#include "framework/graphics/IControl.h"

void IControl::SetValueFromPlugin(double value) {
  if (mValue != value) {
    mValue = value;
    mDirty = true;
  }
}

void IControl::SetAuxValueFromPlugin(int auxIdx, double value) {
  AuxParam* aux = mAuxParams.At(auxIdx);
  if (aux && aux->value != value) {
    aux->value = value;
    mDirty = true;
  }
}
