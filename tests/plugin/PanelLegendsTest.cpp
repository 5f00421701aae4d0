// The panel's printed scales and the texts hosts show say the same thing: every legend the
// artwork prints beside a knob step is that step's text without its unit, and the unit printed
// under the knob is the text's unit. The legends are read from the artwork generator itself.

#include "plugin/VelmoraEditor.h"
#include "plugin/VelmoraStepTexts.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <sstream>
#include <string>

namespace {

// "file<TAB>step<TAB>unit<TAB>legend" for every legend of every knob, as the generator has them.
std::string ArtworkLegends() {
  const std::string command = std::string("/usr/bin/python3 -c \"import sys; sys.path.insert(0, '") + ARTWORK_DIR +
                              "'); import generate_artwork as a\n"
                              "for k in a.KNOBS:\n"
                              "  for s, t in sorted(k.labels.items()): print(k.file, s, k.unit, t, sep='\\t')\"";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    EXPECT_EQ(pclose(pipe), 0);
  }
  return out;
}

// Lower case, the typographic minus the panel prints as "-".
std::string Plain(std::string text) {
  for (std::string::size_type at; (at = text.find("\xE2\x88\x92")) != std::string::npos;) text.replace(at, 3, "-");
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(PanelLegends, EveryPrintedLegendIsItsStepsTextWithoutTheUnit) {
  std::istringstream lines(ArtworkLegends());
  std::string file, step, unit, legend;
  int checked = 0;
  while (std::getline(lines, file, '\t') && std::getline(lines, step, '\t') && std::getline(lines, unit, '\t') &&
         std::getline(lines, legend)) {
    const VelmoraKnob* knob = nullptr;
    for (const VelmoraKnob& k : kEditorKnobs)
      if (std::string(k.image.name).find("/" + file + ".png") != std::string::npos) knob = &k;
    ASSERT_NE(knob, nullptr) << file;
    char text[32];
    ASSERT_TRUE(VelmoraStepText(knob->paramIdx, std::stoi(step), text, sizeof text)) << file << " " << step;
    std::string expected = Plain(text);
    // A quantity's text ends in the knob's unit; a word ("Auto 1") is printed whole.
    const std::string suffix = unit.empty() ? "" : " " + Plain(unit);
    if (!suffix.empty() && expected.size() > suffix.size() &&
        expected.compare(expected.size() - suffix.size(), suffix.size(), suffix) == 0)
      expected.erase(expected.size() - suffix.size());
    EXPECT_EQ(Plain(legend), expected) << file << " step " << step << " (unit \"" << unit << "\")";
    ++checked;
  }
  EXPECT_GE(checked, 40) << "the generator's legends were read";
}

}  // namespace
