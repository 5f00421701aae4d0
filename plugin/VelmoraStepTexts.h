#pragma once
// What every step of Velmora's parameters is called wherever people read or type a value: the
// host's parameter texts and automation lanes, the editor, and velmora-host. A step reads the way
// the panel's scales print it ("-24 dB", "+4 dB", "4:1", "400 ms", "Auto 1", "80 Hz", "50 %"); the
// three switches get words that say what they do. Header-only and free of the framework, so tools
// that link no plug-in code use the very same table.
//
// Texts are ASCII and independent of the C locale: a host's numeric locale never turns "-4.5 dB"
// into "-4,5 dB", and typed text is read the same everywhere. Every text fits the framework's
// 32-byte text fields.

#include "plugin/VelmoraSteps.h"

#include <cmath>

namespace velmora_step_texts {

// The framework's text fields hold this many bytes, terminator included; every text fits.
constexpr int kStepTextLen = 32;

// The words of the steps that are no quantity, some with a short form they also answer to when
// typed (what the panel prints on the switch, or the switch's natural "off" / "on").
struct StepWord {
  const char* text;
  const char* alsoTyped;
};

// "Compressor Recovery Time" and "Level Recovery Time" steps 4 and 5 follow the programme level.
inline constexpr StepWord kAutoRecoveryWords[2] = {{"Auto 1", nullptr}, {"Auto 2", nullptr}};
// The effect's own in/out switch: 1 (the default) processes. Hosts list it beside their own
// "Bypass", whose "on" means the opposite, so its words name the outcome, not a switch position.
inline constexpr StepWord kInOutWords[2] = {{"Passed through", "out"}, {"Processed", "in"}};
inline constexpr StepWord kSidechainWords[2] = {{"Main input", "off"}, {"Aux input", "on"}};
inline constexpr StepWord kMeterWords[2] = {{"Compressor", "comp"}, {"Limiter", "lim"}};

enum class StepUnit { kDecibels, kPercent, kRatio, kHertz, kMilliseconds };

// A step is a quantity in a unit or a word; `word` is null for a quantity.
struct StepMeaning {
  double quantity = 0.0;
  StepUnit unit = StepUnit::kDecibels;
  const StepWord* word = nullptr;
};

// What `step` of paramIdx stands for; false outside the table.
inline bool MeaningOf(int paramIdx, int step, StepMeaning* meaning) {
  if (paramIdx < 0 || paramIdx >= kNumParams || step < 0 || step > kParamDefinitions[paramIdx].maxStep) return false;
  auto quantity = [meaning](double value, StepUnit unit) {
    meaning->quantity = value;
    meaning->unit = unit;
    meaning->word = nullptr;
    return true;
  };
  auto word = [meaning](const StepWord& w) {
    meaning->word = &w;
    return true;
  };
  switch (paramIdx) {
    case kParamCompressorThreshold: return quantity(kThresholdDb[step], StepUnit::kDecibels);
    case kParamLimitLevel: return quantity(-2.0 * LimitLevel(step), StepUnit::kDecibels);
    // MakeupGain(step) is 10^(step / 10), so 20 x step / 10 dB: read off its exponent, since no
    // library logarithm may enter the module.
    case kParamGain: return quantity(20.0 * (step / 10.0), StepUnit::kDecibels);
    case kParamMix: return quantity(100.0 * step / kParamDefinitions[kParamMix].maxStep, StepUnit::kPercent);
    case kParamRatio: return quantity(kRatio[step], StepUnit::kRatio);
    case kParamHigh: return quantity(kHighDb[step], StepUnit::kDecibels);
    case kParamMid: return quantity(kMidDb[step], StepUnit::kDecibels);
    case kParamHighPassFilter: return quantity(kHighPassHz[step], StepUnit::kHertz);
    case kParamCompressorRecoveryTime:
      return InTable(kCompressorRecoveryMs, step) ? quantity(kCompressorRecoveryMs[step], StepUnit::kMilliseconds)
                                                  : word(kAutoRecoveryWords[step - 4]);
    case kParamLevelRecoveryTime:
      return InTable(kLevelRecoveryMs, step) ? quantity(kLevelRecoveryMs[step], StepUnit::kMilliseconds)
                                             : word(kAutoRecoveryWords[step - 4]);
    case kParamBypass: return word(kInOutWords[step]);
    case kParamExternalSidechain: return word(kSidechainWords[step]);
    case kParamGRSelect: return word(kMeterWords[step]);
    default: return false;
  }
}

// How a quantity prints: its unit's suffix and decimals (at most one; a zero decimal is left out,
// as on the panel), and whether a positive value carries its "+" ("+4 dB", as the panel's gain
// and equaliser scales print it).
struct UnitForm {
  const char* suffix;
  int decimals;
  bool plusSign;
};

inline UnitForm FormOf(StepUnit unit) {
  switch (unit) {
    case StepUnit::kDecibels: return {" dB", 1, true};
    case StepUnit::kPercent: return {" %", 0, false};
    case StepUnit::kRatio: return {":1", 1, false};
    case StepUnit::kHertz: return {" Hz", 1, false};
    case StepUnit::kMilliseconds: return {" ms", 1, false};
  }
  return {"", 0, false};
}

// A bounded text being written: nothing past size - 1 characters; Finish tells whether all of it
// went in.
class TextOut {
public:
  TextOut(char* text, int size) : mText(text), mSize(text ? size : 0) {
    if (mSize > 0) mText[0] = 0;
  }
  void Put(char c) {
    if (mLength + 1 >= mSize) {
      mFits = false;
      return;
    }
    mText[mLength++] = c;
    mText[mLength] = 0;
  }
  void Put(const char* s) {
    while (*s) Put(*s++);
  }
  // The value rounded to `decimals` (0 or 1) places, a zero last decimal left out.
  void PutNumber(double value, int decimals, bool plusSign) {
    const long long scale = decimals > 0 ? 10 : 1;
    const long long scaled = std::llround(std::fabs(value) * (decimals > 0 ? 10.0 : 1.0));
    if (scaled != 0) {
      if (value < 0)
        Put('-');
      else if (plusSign)
        Put('+');
    }
    PutDigits(scaled / scale);
    if (scale > 1 && scaled % scale != 0) {
      Put('.');
      Put(static_cast<char>('0' + scaled % scale));
    }
  }
  // All of the text went in; otherwise the text is left empty, never cut short.
  bool Finish() {
    if (!mFits && mSize > 0) mText[0] = 0;
    return mFits && mSize > 0;
  }

private:
  void PutDigits(long long n) {
    if (n >= 10) PutDigits(n / 10);
    Put(static_cast<char>('0' + n % 10));
  }

  char* mText;
  int mSize;
  int mLength = 0;
  bool mFits = true;
};

// Typed text as it is compared: blanks dropped, ASCII letters lowered. False when it is longer
// than any text the table could name.
constexpr int kKeyLen = 48;
inline bool TypedKey(const char* text, char (&key)[kKeyLen]) {
  int n = 0;
  for (; text && *text; ++text) {
    char c = *text;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') continue;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (n + 1 >= kKeyLen) return false;
    key[n++] = c;
  }
  key[n] = 0;
  return n > 0;
}

inline bool SameKey(const char* a, const char* b) {
  if (!a || !b) return false;
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

// Reads a decimal number at the start of `text` ("-24", "+1.5", "31,8": a point or a comma), as
// `value` with the count of decimals it was written with; returns the text after it, or null when
// the text starts with no number.
inline const char* ReadNumber(const char* text, double* value, int* decimals) {
  const char* p = text;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  double v = 0.0;
  int digits = 0;
  for (; *p >= '0' && *p <= '9' && digits < 12; ++p, ++digits) v = v * 10.0 + (*p - '0');
  int places = 0;
  if ((*p == '.' || *p == ',') && p[1] >= '0' && p[1] <= '9') {
    ++p;
    double unit = 1.0;
    for (; *p >= '0' && *p <= '9' && places < 12; ++p, ++places) v += (*p - '0') * (unit /= 10.0);
  }
  if (digits == 0 && places == 0) return nullptr;
  if (*p >= '0' && *p <= '9') return nullptr;  // more digits than any step needs
  *value = negative ? -v : v;
  *decimals = places;
  return p;
}

}  // namespace velmora_step_texts

// The step a normalised value sets: the parameter model's rounding, half up to the step grid, of
// the value held in [0, 1]. Hosts that link no plug-in code name a normalised value with it.
inline int VelmoraStepOfNormalized(int paramIdx, double normalized) {
  if (paramIdx < 0 || paramIdx >= kNumParams) return 0;
  const double maxStep = kParamDefinitions[paramIdx].maxStep;
  const double n = normalized > 0.0 ? (normalized < 1.0 ? normalized : 1.0) : 0.0;  // NaN gives 0
  const double step = std::floor(maxStep * n + 0.5);
  return static_cast<int>(step < maxStep ? step : maxStep);
}

// The text hosts, the editor and velmora-host show for `step` of parameter `paramIdx` ("-24 dB",
// "4:1", "400 ms", "Auto 1", "80 Hz", "50 %", the in/out switch's "Processed"); false and an empty
// text outside the table, or when the text would not fit `size` bytes (terminator included).
inline bool VelmoraStepText(int paramIdx, int step, char* text, int size) {
  using namespace velmora_step_texts;
  TextOut out(text, size);
  StepMeaning meaning;
  if (!MeaningOf(paramIdx, step, &meaning)) return false;
  if (meaning.word) {
    out.Put(meaning.word->text);
  } else {
    const UnitForm form = FormOf(meaning.unit);
    out.PutNumber(meaning.quantity, form.decimals, form.plusSign);
    out.Put(form.suffix);
  }
  return out.Finish();
}

// What the text of `step` leaves unsaid, for readers who want the whole story (velmora-host): the
// ratio's knee ("knee 0.8 x threshold") and how an automatic recovery time follows the programme
// ("500 ms + 4500 ms x peak"); false and an empty text for every other step.
inline bool VelmoraStepNote(int paramIdx, int step, char* text, int size) {
  using namespace velmora_step_texts;
  TextOut out(text, size);
  StepMeaning meaning;
  if (!MeaningOf(paramIdx, step, &meaning)) return false;
  if (paramIdx == kParamRatio) {
    out.Put("knee ");
    out.PutNumber(kKnee[step], 1, false);
    out.Put(" x threshold");
  } else if (meaning.word == &kAutoRecoveryWords[0] || meaning.word == &kAutoRecoveryWords[1]) {
    const PeakRecovery& r = kPeakRecovery[step - 4];
    out.PutNumber(r.baseMs, 1, false);
    out.Put(" ms + ");
    out.PutNumber(r.msPerPeak, 1, false);
    out.Put(" ms x peak");
  } else {
    return false;
  }
  return out.Finish();
}

// The step a typed text names: the physical form with its unit ("-24 dB", "-24dB", "+1.5 dB",
// "1.5 dB", "4:1", "auto 1", "80hz", "31.8 %"), a switch's words or short form ("Processed",
// "in"), or a bare step number ("3"). Blanks and letter case are free; a point or a comma marks
// decimals. A quantity names the step that prints as it does to the decimals the step's text
// shows ("-24.4 dB" is the -24 dB step, "-25 dB" names none). A bare number is always a step
// number, and only a whole one within the parameter's steps names one. False when the text names
// no step (`step` is then left alone).
inline bool VelmoraStepFromText(int paramIdx, const char* text, int* step) {
  using namespace velmora_step_texts;
  if (paramIdx < 0 || paramIdx >= kNumParams || !step) return false;
  const int maxStep = kParamDefinitions[paramIdx].maxStep;
  char key[kKeyLen];
  if (!TypedKey(text, key)) return false;

  double number = 0.0;
  int decimals = 0;
  const char* unit = ReadNumber(key, &number, &decimals);
  if (unit && !*unit) {  // a bare number
    if (number != std::floor(number) || number < 0 || number > maxStep) return false;
    *step = static_cast<int>(number);
    return true;
  }

  for (int s = 0; s <= maxStep; ++s) {
    StepMeaning meaning;
    MeaningOf(paramIdx, s, &meaning);
    if (meaning.word) {
      char wordKey[kKeyLen];
      if ((TypedKey(meaning.word->text, wordKey) && SameKey(key, wordKey)) || SameKey(key, meaning.word->alsoTyped)) {
        *step = s;
        return true;
      }
      continue;
    }
    if (!unit) continue;
    // The step's own text, read back: its number as printed and its unit.
    char printed[kStepTextLen];
    char printedKey[kKeyLen];
    double printedNumber = 0.0;
    int printedDecimals = 0;
    if (!VelmoraStepText(paramIdx, s, printed, kStepTextLen) || !TypedKey(printed, printedKey)) continue;
    const char* printedUnit = ReadNumber(printedKey, &printedNumber, &printedDecimals);
    if (!printedUnit || !SameKey(unit, printedUnit)) continue;
    const double halfPlace = printedDecimals > 0 ? 0.05 : 0.5;
    if (std::fabs(number - printedNumber) < halfPlace) {
      *step = s;
      return true;
    }
  }
  return false;
}
