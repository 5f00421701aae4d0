#include "tools/session/VelmoraMeanings.h"

#include "plugin/VelmoraStepTexts.h"

namespace velmora_host {

std::string VelmoraStepMeaning(int id, double normalized, const std::string& shownText) {
  const int step = VelmoraStepOfNormalized(id, normalized);
  char text[velmora_step_texts::kStepTextLen];
  char note[velmora_step_texts::kStepTextLen];
  if (!VelmoraStepText(id, step, text, sizeof text)) return {};
  const bool hasNote = VelmoraStepNote(id, step, note, sizeof note);
  if (shownText == text) return hasNote ? note : "";
  return hasNote ? std::string(text) + ", " + note : std::string(text);
}

}  // namespace velmora_host
