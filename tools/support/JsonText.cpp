#include "tools/support/JsonText.h"

#include <cmath>

namespace velmora_host {

Json Rounded(double value) {
  if (!std::isfinite(value)) return nullptr;
  const double r = std::round(value * 1e4) / 1e4;
  return r == 0.0 ? 0.0 : r;  // no "-0.0"
}

Json Decibels(double db) { return Rounded(db); }

std::string JsonText(const Json& document) { return document.dump(2) + "\n"; }

}  // namespace velmora_host
