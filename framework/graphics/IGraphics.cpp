#include "framework/graphics/IGraphics.h"

#include "framework/IPlugBase.h"

int IGraphics::AddControl(IControl* control) {
  const int index = mControls.Count();
  mControls.Add(control);
  return index;
}

void IGraphics::AddBackground(IControl* control) { mControls.Insert(0, control); }

void IGraphics::PushParamToControls(int paramIdx, double value, bool isNormalized) {
  if (!isNormalized) {
    const IParam* param = mPlugin ? mPlugin->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->ToNormalized(value);
  }
  for (int i = 0; i < mControls.Count(); ++i) {
    IControl* c = mControls.Get(i);
    if (c->ParamIdx() == paramIdx) c->SetValueFromPlugin(value);
    for (int a = 0; a < c->NAuxParams(); ++a) {
      if (c->GetAuxParam(a)->paramIdx == paramIdx) {
        c->SetAuxValueFromPlugin(a, value);
        break;
      }
    }
  }
}
