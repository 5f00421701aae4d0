#include "framework/vst3/IPlugParameter.h"

#include "framework/NumericConversions.h"
#include "framework/vst3/HostText.h"

#include <cmath>
#include <cstdlib>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
constexpr int kMaxHostChars = 127;  // a String128 with its terminator
}

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
  // A value outside [0, 1] shows the nearest end of the range, never a value the parameter cannot take.
  param.GetDisplayForHost(param.FromNormalized(ClampNormalized(normalized)), text);
  WidenText(string, text, kMaxHostChars);
}

void IPlugParameter::toString(ParamValue normalized, String128 string) const {
  DisplayText(*mParam, normalized, string);
}

bool IPlugParameter::fromString(const TChar* string, ParamValue& normalized) const {
  char text[kMaxHostChars + 1];
  NarrowText(text, string, kMaxHostChars);
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
