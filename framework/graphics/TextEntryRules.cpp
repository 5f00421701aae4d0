#include "framework/graphics/TextEntryRules.h"

#include "framework/IParam.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

bool TextEntryAccepts(const IParam* param, char c) {
  if (!param) return c >= 0x20 && c < 0x7F;
  const bool sign = c == '+' || c == '-';
  const bool digit = c >= '0' && c <= '9';
  if (param->Type() == IParam::kTypeDouble) return sign || digit || c == '.';
  return sign || digit;
}

double TextEntryNormalizedValue(const IParam& param, const char* text) {
  double plain = 0.0;
  if (param.Type() == IParam::kTypeBool || param.Type() == IParam::kTypeEnum) {
    for (int i = 0; i < param.NDisplayTexts(); ++i) {
      const IParam::DisplayText* entry = param.GetDisplayTextEntry(i);
      if (std::strcmp(entry->text, text) == 0) {
        plain = entry->value;
        break;
      }
    }
  } else {
    plain = std::strtod(text, nullptr);
    if (param.NegateDisplay()) plain = -plain;
  }
  return param.ToNormalized(std::clamp(plain, param.Min(), param.Max()));
}
