#include "framework/IParam.h"

#include "framework/BoundedText.h"
#include "framework/NumericConversions.h"

#include <cmath>
#include <cstdio>
#include <cstring>

IParam::IParam() = default;

void IParam::InitInt(const char* name, int defaultVal, int maxVal) {
  if (mType == kTypeNone) mType = kTypeInt;
  CopyBoundedText(mName, name, sizeof(mName));
  CopyBoundedText(mLabel, "", sizeof(mLabel));
  CopyBoundedText(mGroup, "", sizeof(mGroup));

  SetRange(static_cast<double>(defaultVal), 0.0, static_cast<double>(maxVal), 1.0);
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label) {
  if (mType == kTypeNone) mType = kTypeDouble;
  CopyBoundedText(mName, name, sizeof(mName));
  CopyBoundedText(mLabel, label, sizeof(mLabel));
  CopyBoundedText(mGroup, "", sizeof(mGroup));
  // Keep min < max finite whatever the caller passes.
  if (!(step > 0.0) || !std::isfinite(step)) step = 1.0;
  if (!std::isfinite(minVal)) minVal = 0.0;
  if (!std::isfinite(maxVal)) maxVal = minVal + step;
  SetRange(defaultVal, minVal, maxVal, step);
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums) {
  if (mType == kTypeNone) mType = kTypeEnum;
  CopyBoundedText(mName, name, sizeof(mName));
  CopyBoundedText(mLabel, "", sizeof(mLabel));
  CopyBoundedText(mGroup, "", sizeof(mGroup));
  SetRange(static_cast<double>(defaultVal), 0.0, static_cast<double>(nEnums - 1), 1.0);
}

void IParam::SetRange(double defaultVal, double minVal, double maxVal, double step) {
  mValue.store(defaultVal, std::memory_order_relaxed);
  mDefault = defaultVal;
  mMin = minVal;
  mStep = step;
  // The range must hold at least one step, so an integer maximum of 0 widens to 0..1.
  mMax = maxVal > minVal + step ? maxVal : minVal + step;

  int precision = 0;
  for (double s = mStep; precision < 6 && std::floor(s) != s; s *= 10.0) ++precision;
  mDisplayPrecision = precision;
  mShape = 1.0;
}

double IParam::ToNormalized(double plain) const {
  // A value that is not a number sits at the bottom of the range, as the state path stores it.
  if (std::isnan(plain) || plain < mMin) plain = mMin;
  if (plain > mMax) plain = mMax;
  return std::pow((plain - mMin) / (mMax - mMin), 1.0 / mShape);
}

double IParam::FromNormalized(double normalized) const { return mMin + (mMax - mMin) * std::pow(normalized, mShape); }

double IParam::PlainForNormalized(double normalized) const {
  double v = FromNormalized(normalized);
  if (mType != kTypeDouble) v = std::floor(v / mStep + 0.5) * mStep;
  return v > mMax ? mMax : v;
}

void IParam::SetNormalized(double normalized) {
  const double v = PlainForNormalized(normalized);
  if (std::isnan(v)) return;
  mValue.store(v, std::memory_order_relaxed);
}

void IParam::SetClamped(double plain) {
  double v;
  if (std::isnan(plain) || plain < mMin)
    v = mMin;
  else
    v = plain < mMax ? plain : mMax;
  mValue.store(v, std::memory_order_relaxed);
}

void IParam::SetDisplayText(int value, const char* text) {
  DisplayText entry;
  entry.value = value;
  CopyBoundedText(entry.text, text, sizeof(entry.text));
  mDisplayTexts.Add(entry);
}

const char* IParam::GetDisplayText(int value) const {
  for (int i = 0, n = mDisplayTexts.Count(); i < n; ++i) {
    const DisplayText* entry = mDisplayTexts.At(i);
    if (entry->value == value) return entry->text;
  }
  return "";
}

void IParam::SetStepTexts(const StepTexts& texts, int key) {
  mStepTexts = texts;
  mStepTextKey = key;
}

bool IParam::StepTextFor(double plain, char* out, int size) const {
  if (!HasStepTexts() || mType == kTypeDouble) return false;
  return mStepTexts.text(mStepTextKey, TruncToInt((plain - mMin) / mStep), out, size);
}

bool IParam::StepFromText(const char* text, double* plain) const {
  int step = 0;
  if (!HasStepTexts() || mType == kTypeDouble || !mStepTexts.fromText(mStepTextKey, text, &step)) return false;
  *plain = mMin + step * mStep;
  return true;
}

void IParam::GetDisplayForHost(double plain, char* out) const {
  const char* text = GetDisplayText(TruncToInt(plain));
  if (text[0]) {
    CopyBoundedText(out, text, kDisplayBufferLen);
    return;
  }
  if (StepTextFor(plain, out, kDisplayBufferLen)) return;
  if (mNegateDisplay) plain = -plain;
  if (mDisplayPrecision > 0)
    std::snprintf(out, kDisplayBufferLen, "%.*f", mDisplayPrecision, plain);
  else
    std::snprintf(out, kDisplayBufferLen, "%d", TruncToInt(plain));
}

const char* IParam::GetLabelForHost() const {
  char stepText[kDisplayBufferLen];
  return GetDisplayText(Int())[0] || StepTextFor(Value(), stepText, kDisplayBufferLen) ? "" : mLabel;
}
