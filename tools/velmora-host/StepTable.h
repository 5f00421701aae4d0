#pragma once
// Every step of a Velmora parameter with what it means, from the plug-in's own table of step texts
// (plugin/VelmoraStepTexts.h, header-only): what `list` shows and `render --set` reads back.
#include <string>
#include <vector>

namespace velmora_host {

struct StepEntry {
  int step = 0;
  std::string text;  // "-24 dB", "4:1", "Auto 1"
  std::string note;  // what the text leaves unsaid ("knee 0.8 x threshold"); often empty
};

// The steps of Velmora's parameter `id` (0 .. 12); empty for any other id.
std::vector<StepEntry> VelmoraStepTable(int id);

// The text of one step; empty outside the table.
std::string VelmoraStepText(int id, int step);

}  // namespace velmora_host
