#pragma once
// How a stepped parameter names its steps when its number alone would not tell a user what a step
// is ("-24 dB" rather than "3"): a text for each step and the step a typed text names. The plug-in
// hands a parameter two plain functions and a key (its parameter index, say), so one table that
// tools outside the plug-in also read can serve every parameter directly.

struct StepTexts {
  // Writes the text of `step` into `text` (size bytes, terminator included); false for a step it
  // does not name.
  bool (*text)(int key, int step, char* text, int size);
  // The step a typed text names; false when it names none.
  bool (*fromText)(int key, const char* text, int* step);
};
