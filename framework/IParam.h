#pragma once
// One automatable value of the plug-in: its plain value, range, step, the curve mapping it to
// the host's normalised 0..1 range, and what is needed to show it as text.
//
// Writers hold the plug-in mutex. The value itself is a relaxed atomic because the host's
// controller thread may set it (set-parameter-normalised) while the audio thread reads it.

#include "GrowableArray.h"
#include "NumericConversions.h"
#include "StepTexts.h"

#include <atomic>

class IParam {
public:
  enum EParamType { kTypeNone = 0, kTypeBool = 1, kTypeInt = 2, kTypeEnum = 3, kTypeDouble = 4 };
  static constexpr int kTextLen = 32;  // name, label, group and display-text fields, terminator included

  struct DisplayText {
    int32_t value;
    char text[kTextLen];
  };

  IParam();

  // The one initialiser: an integer parameter with range 0..max (at least 0..1), step 1.
  // The default is stored as given, without clamping.
  void InitInt(const char* name, int defaultVal, int maxVal);
  // A continuous parameter (no step rounding); the range is widened to hold at least one step.
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "");
  // An enumeration of nEnums values 0..nEnums-1 (the editor offers its display texts as a menu).
  void InitEnum(const char* name, int defaultVal, int nEnums);

  // Plain <-> normalised. ToNormalized clamps into the range first; FromNormalized does not
  // clamp its argument.
  double ToNormalized(double plain) const;
  double FromNormalized(double normalized) const;
  double GetNormalized() const { return ToNormalized(Value()); }

  // Host and editor edits: curve, step rounding for stepped kinds, capped at max (the lower
  // bound is not re-applied). A value that is not a number changes nothing.
  void SetNormalized(double normalized);
  // The plain value SetNormalized stores for normalized (NaN for NaN): what a text for a
  // normalised value must name.
  double PlainForNormalized(double normalized) const;
  // The state path: clamped into the range, not rounded. A value that is not a number stores min.
  void SetClamped(double plain);

  double Value() const { return mValue.load(std::memory_order_relaxed); }
  // The integer step: the value truncated toward zero, defined for every value. Inline: the
  // audio thread reads live steps every sample.
  int Int() const { return TruncToInt(Value()); }

  // Display texts: per-integer-value replacement strings (first match wins).
  void SetDisplayText(int value, const char* text);
  int NDisplayTexts() const { return mDisplayTexts.Count(); }
  const DisplayText* GetDisplayTextEntry(int index) const { return mDisplayTexts.At(index); }
  // The text registered for value, or "" when there is none.
  const char* GetDisplayText(int value) const;

  // Names for the steps of a stepped parameter (the plug-in's table, keyed by `key`). Without
  // them a step shows its number. texts' functions must stay callable as long as the parameter.
  void SetStepTexts(const StepTexts& texts, int key);
  bool HasStepTexts() const { return mStepTexts.text && mStepTexts.fromText; }
  // The plain value of the step a typed text names; false without step texts or when the text
  // names no step.
  bool StepFromText(const char* text, double* plain) const;

  // Text for a plain value and for the current value: the display text of trunc(value), else the
  // step text of the step the value is on (truncated, as the value plays), else the formatted
  // number. out must hold kDisplayBufferLen bytes.
  static constexpr int kDisplayBufferLen = 128;
  void GetDisplayForHost(double plain, char* out) const;
  void GetDisplayForHost(char* out) const { GetDisplayForHost(Value(), out); }
  // "" when the current value has a display text or a step text (which carries its unit), else
  // the unit label.
  const char* GetLabelForHost() const;

  EParamType Type() const { return static_cast<EParamType>(mType); }
  double Min() const { return mMin; }
  double Max() const { return mMax; }
  double Step() const { return mStep; }
  double Shape() const { return mShape; }
  double Default() const { return mDefault; }
  int DisplayPrecision() const { return mDisplayPrecision; }
  const char* Name() const { return mName; }
  const char* Label() const { return mLabel; }
  const char* Group() const { return mGroup; }
  bool NegateDisplay() const { return mNegateDisplay; }
  bool IsAutomatable() const { return mAutomatable; }
  void SetNegateDisplay(bool negate) { mNegateDisplay = negate; }
  void SetAutomatable(bool automatable) { mAutomatable = automatable; }

private:
  // Value and default as given (not clamped); max widened to min + step; precision from step.
  void SetRange(double defaultVal, double minVal, double maxVal, double step);
  // The step text of the step plain is on; false when there is none.
  bool StepTextFor(double plain, char* out, int size) const;

  int32_t mType = kTypeNone;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int32_t mDisplayPrecision = 0;
  char mName[kTextLen] = {};
  char mLabel[kTextLen] = {};
  char mGroup[kTextLen] = {};
  bool mNegateDisplay = false;
  bool mAutomatable = true;
  GrowableArray<DisplayText> mDisplayTexts;
  StepTexts mStepTexts = {nullptr, nullptr};
  int mStepTextKey = 0;
};
