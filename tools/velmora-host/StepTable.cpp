#include "tools/velmora-host/StepTable.h"

#include "plugin/VelmoraStepTexts.h"

namespace velmora_host {

std::string VelmoraStepText(int id, int step) {
  char text[velmora_step_texts::kStepTextLen];
  // The plug-in's own form (global namespace), which this one's name hides here.
  return ::VelmoraStepText(id, step, text, sizeof text) ? text : "";
}

std::vector<StepEntry> VelmoraStepTable(int id) {
  std::vector<StepEntry> table;
  if (id < 0 || id >= kNumParams) return table;
  for (int step = 0; step <= kParamDefinitions[id].maxStep; ++step) {
    char note[velmora_step_texts::kStepTextLen * 2];
    table.push_back(
        StepEntry{step, VelmoraStepText(id, step), VelmoraStepNote(id, step, note, sizeof note) ? note : ""});
  }
  return table;
}

}  // namespace velmora_host
