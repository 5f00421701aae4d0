#pragma once
// The host's bypass switch ("bpas"): a list of two entries, "off" and "on". The SDK's list
// conversions would turn a NaN or an out-of-range normalised value into an integer undefined;
// these answer every input: normalised values are held in [0, 1] first, so below one half reads
// "off" and from one half on reads "on".

#include "public.sdk/source/vst/vstparameters.h"

class BypassParameter : public Steinberg::Vst::StringListParameter {
public:
  explicit BypassParameter(Steinberg::Vst::ParamID id);

  // 0 (off) or 1 (on).
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue normalized) const SMTG_OVERRIDE;
  // The plain value held in [0, 1] (NaN reads as off).
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plain) const SMTG_OVERRIDE;

  OBJ_METHODS(BypassParameter, StringListParameter)
};
