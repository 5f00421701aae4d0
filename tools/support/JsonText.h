#pragma once
// The host's JSON output for scripts: keys in the order they are written, levels in dB rounded to
// a ten-thousandth (more than any meter shows, and the same on every run), silence as null.
#include <nlohmann/json.hpp>

#include <string>

namespace velmora_host {

using Json = nlohmann::ordered_json;

// A level in dB (LUFS, dBTP, ...) rounded to 4 decimals; null when not finite (silence).
Json Decibels(double db);
// Any value rounded to 4 decimals (null when not finite).
Json Rounded(double value);
// The document as printed: two-space indentation and a final newline.
std::string JsonText(const Json& document);

}  // namespace velmora_host
