// IPlugVST3's unit information: one unit per parameter group under the root unit, and the factory
// preset list described for hosts that ask for it.

#include "framework/vst3/IPlugVST3.h"

#include "framework/vst3/HostText.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
void Widen128(String128 dst, const char* src) { WidenText(dst, src, kMaxHostChars); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Units and the program list

int32 PLUGIN_API IPlugVST3::getUnitCount() { return NParamGroups() + 1; }

tresult PLUGIN_API IPlugVST3::getUnitInfo(int32 unitIndex, UnitInfo& info) {
  if (unitIndex == 0) {
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    Widen128(info.name, "Root Unit");
    info.programListId = kNoProgramListId;
    return kResultOk;
  }
  if (unitIndex < 0 || unitIndex > NParamGroups()) return kResultFalse;
  info.id = unitIndex;
  info.parentUnitId = kRootUnitId;
  Widen128(info.name, GetParamGroup(unitIndex - 1));
  info.programListId = kNoProgramListId;
  return kResultOk;
}

// The list is deliberately not counted: hosts find presets through the "Preset" parameter, and
// those that ask for list 0 anyway get its description.
int32 PLUGIN_API IPlugVST3::getProgramListCount() { return 0; }

tresult PLUGIN_API IPlugVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
  if (listIndex != 0) return kResultFalse;
  info.id = kFactoryPresetsListID;
  Widen128(info.name, "Factory Presets");
  info.programCount = NPresets();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
  if (listId != kFactoryPresetsListID || !name) return kResultFalse;
  const PresetSlot* slot = GetPreset(programIndex);
  if (!slot) return kInvalidArgument;
  Widen128(name, slot->name);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128) { return kNotImplemented; }
tresult PLUGIN_API IPlugVST3::hasProgramPitchNames(ProgramListID, int32) { return kNotImplemented; }
tresult PLUGIN_API IPlugVST3::getProgramPitchName(ProgramListID, int32, int16, String128) { return kNotImplemented; }
UnitID PLUGIN_API IPlugVST3::getSelectedUnit() { return kRootUnitId; }
tresult PLUGIN_API IPlugVST3::selectUnit(UnitID) { return kNotImplemented; }
tresult PLUGIN_API IPlugVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) { return kNotImplemented; }
tresult PLUGIN_API IPlugVST3::setUnitProgramData(int32, int32, IBStream*) { return kNotImplemented; }
