#pragma once
// The host's view of one base parameter: the SDK parameter object whose conversions and texts
// come from the IParam it points at. The IParam stays owned by the plug-in base.

#include "framework/IParam.h"
#include "public.sdk/source/vst/vstparameters.h"

class IPlugParameter : public Steinberg::Vst::Parameter {
public:
  IPlugParameter(IParam* param, Steinberg::Vst::ParamID id, Steinberg::Vst::UnitID unitID);

  void toString(Steinberg::Vst::ParamValue normalized, Steinberg::Vst::String128 string) const SMTG_OVERRIDE;
  bool fromString(const Steinberg::Vst::TChar* string, Steinberg::Vst::ParamValue& normalized) const SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue normalized) const SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plainValue) const SMTG_OVERRIDE;

  OBJ_METHODS(IPlugParameter, Parameter)

  // The display text of param for a normalised value, as the host shows it.
  static void DisplayText(const IParam& param, Steinberg::Vst::ParamValue normalized, Steinberg::Vst::String128 string);

private:
  IParam* mParam;
};
