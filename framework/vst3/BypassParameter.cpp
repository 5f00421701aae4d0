#include "framework/vst3/BypassParameter.h"

#include "framework/NumericConversions.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

BypassParameter::BypassParameter(ParamID id)
    : StringListParameter(STR16("Bypass"), id, nullptr,
                          ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass, kRootUnitId,
                          nullptr) {
  appendString(STR16("off"));
  appendString(STR16("on"));
}

ParamValue BypassParameter::toPlain(ParamValue normalized) const {
  return ClampNormalized(normalized) >= 0.5 ? 1.0 : 0.0;
}

ParamValue BypassParameter::toNormalized(ParamValue plain) const { return ClampNormalized(plain); }
