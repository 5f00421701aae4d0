#include "framework/vst3/ProgramParameter.h"

#include "framework/IPlugBase.h"
#include "framework/NumericConversions.h"
#include "framework/vst3/HostText.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

ProgramParameter::ProgramParameter(ParamID id, const IPlugBase* plugin)
    : Parameter(STR16("Preset"), id, nullptr, 0.0, plugin->NPresets() > 1 ? plugin->NPresets() - 1 : 0,
                ParameterInfo::kIsProgramChange, kRootUnitId, nullptr),
      mPlugin(plugin) {}

int ProgramParameter::ProgramIndex(ParamValue normalized, int count) {
  if (count <= 1) return 0;
  const int index = TruncToInt(ClampNormalized(normalized) * count);
  return index < count - 1 ? index : count - 1;
}

void ProgramParameter::toString(ParamValue normalized, String128 string) const {
  const PresetSlot* preset = mPlugin->GetPreset(ProgramIndex(normalized, mPlugin->NPresets()));
  WidenText(string, preset ? preset->name : "", kMaxHostChars);
}

bool ProgramParameter::fromString(const TChar* string, ParamValue& normalized) const {
  char text[kMaxHostChars + 1];
  NarrowText(text, string, kMaxHostChars);
  const int count = mPlugin->NPresets();
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(mPlugin->GetPreset(i)->name, text) == 0) {
      normalized = count > 1 ? static_cast<double>(i) / (count - 1) : 0.0;
      return true;
    }
  }
  // Otherwise the whole text must be one number of the parameter's range.
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text) return false;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  if (*end || !(v >= 0.0 && v <= 1.0)) return false;
  normalized = v;
  return true;
}

ParamValue ProgramParameter::toPlain(ParamValue normalized) const { return ClampNormalized(normalized); }

ParamValue ProgramParameter::toNormalized(ParamValue plain) const { return ClampNormalized(plain); }
