#include "tools/vst3host/ClassIdText.h"

#include <cctype>
#include <cstdio>

namespace vst3host {

std::string ClassIdText(const Steinberg::TUID cid) {
  char text[40] = {};
  Steinberg::FUID::fromTUID(cid).toString(text);
  return text;
}

std::string ClassIdTextInOrder(const Steinberg::TUID cid, bool comOrder) {
  static const int kComOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  std::string text;
  char byte[3];
  for (int i = 0; i < 16; ++i) {
    std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned char>(cid[comOrder ? kComOrder[i] : i]));
    text += byte;
  }
  return text;
}

bool ClassIdTextNames(const std::string& text, const Steinberg::TUID cid) {
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper == ClassIdTextInOrder(cid, false) || upper == ClassIdTextInOrder(cid, true);
}

}  // namespace vst3host
