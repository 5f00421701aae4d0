#include "framework/vst3/IPlugParameter.h"

#include "framework/NumericConversions.h"
#include "framework/vst3/HostText.h"

#include <cmath>
#include <cstdlib>

using namespace Steinberg;
using namespace Steinberg::Vst;

IPlugParameter::IPlugParameter(IParam* param, ParamID id, UnitID unitID) : mParam(param) {
  info.id = id;
  WidenText(info.title, param->Name(), kMaxHostChars);
  info.shortTitle[0] = 0;
  WidenText(info.units, param->GetLabelForHost(), kMaxHostChars);
  info.stepCount = param->Type() == IParam::kTypeDouble ? 0 : TruncToInt(param->Max() - param->Min());
  // Deliberately not clamped: the host is told the default exactly as the effect declared it.
  info.defaultNormalizedValue =
      std::pow((param->Default() - param->Min()) / (param->Max() - param->Min()), 1.0 / param->Shape());
  valueNormalized = info.defaultNormalizedValue;
  info.unitId = unitID;
  info.flags = param->IsAutomatable() ? ParameterInfo::kCanAutomate : 0;
  precision = param->DisplayPrecision();
}

void IPlugParameter::DisplayText(const IParam& param, ParamValue normalized, String128 string) {
  char text[IParam::kDisplayBufferLen];
  // The text names what the value would set: the step it rounds to, as the parameter stores it
  // (a host showing the truncated step between two steps would show a value that is not heard).
  // A value outside [0, 1] shows the nearest end of the range, never a value the parameter cannot take.
  param.GetDisplayForHost(param.PlainForNormalized(ClampNormalized(normalized)), text);
  WidenText(string, text, kMaxHostChars);
}

void IPlugParameter::toString(ParamValue normalized, String128 string) const {
  DisplayText(*mParam, normalized, string);
}

bool IPlugParameter::fromString(const TChar* string, ParamValue& normalized) const {
  char text[kMaxHostChars + 1];
  NarrowText(text, string, kMaxHostChars);
  // A parameter that names its steps takes exactly the texts that name one ("-24 dB", or the bare
  // step number); anything else is refused rather than read as some value.
  if (mParam->HasStepTexts()) {
    double stepValue = 0.0;
    if (!mParam->StepFromText(text, &stepValue)) return false;
    normalized = mParam->ToNormalized(stepValue);
    return true;
  }
  double plain = std::strtod(text, nullptr);  // no leading number reads as 0
  // "nan" parses as a number, but a text is never meant to set a value outside the range.
  if (std::isnan(plain)) plain = 0.0;
  if (plain < mParam->Min()) plain = mParam->Min();
  if (plain > mParam->Max()) plain = mParam->Max();
  normalized = mParam->ToNormalized(plain);
  return true;
}

ParamValue IPlugParameter::toPlain(ParamValue normalized) const { return mParam->FromNormalized(normalized); }

ParamValue IPlugParameter::toNormalized(ParamValue plainValue) const { return mParam->ToNormalized(plainValue); }
