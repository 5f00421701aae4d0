#pragma once
// The host's program-change parameter ("prst"): one value per preset of the plug-in base (step
// count = presets - 1), each shown by its preset's name. Plain and normalised values are the same
// number, held in [0, 1]; program i is the value i / step count, and a value names the program the
// host's own discrete conversion gives, min(step count, trunc(v * presets)), which is also the one
// the process call restores. A text is a preset's name or a number in [0, 1]; anything else is
// refused.

#include "public.sdk/source/vst/vstparameters.h"

class IPlugBase;

class ProgramParameter : public Steinberg::Vst::Parameter {
public:
  // plugin provides the preset names and must outlive the parameter.
  ProgramParameter(Steinberg::Vst::ParamID id, const IPlugBase* plugin);

  void toString(Steinberg::Vst::ParamValue normalized, Steinberg::Vst::String128 string) const SMTG_OVERRIDE;
  bool fromString(const Steinberg::Vst::TChar* string, Steinberg::Vst::ParamValue& normalized) const SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue normalized) const SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plain) const SMTG_OVERRIDE;

  // The program a normalised value names among `count` presets (0 when there are none).
  static int ProgramIndex(Steinberg::Vst::ParamValue normalized, int count);

  OBJ_METHODS(ProgramParameter, Parameter)

private:
  const IPlugBase* mPlugin;
};
