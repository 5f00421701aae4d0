#pragma once
// A class id as text, the way hosts write it in file names, module info and preset files: 32
// upper-case hexadecimal digits, in the SDK's own form for the platform (FUID::toString). Where
// the SDK is COM compatible (Windows) the first eight bytes read as a GUID's three little-endian
// fields (bytes 3 2 1 0, 5 4, 7 6), elsewhere the 16 bytes are written in order; so one class has
// two texts, and a file written on one platform names it in the other platform's form.
#include "pluginterfaces/base/funknown.h"

#include <string>

namespace vst3host {

// This platform's text, as its hosts compute it.
std::string ClassIdText(const Steinberg::TUID cid);
// The text in COM order (comOrder) or in byte order, whatever the platform.
std::string ClassIdTextInOrder(const Steinberg::TUID cid, bool comOrder);
// Whether `text` names `cid` in either order (letter case free).
bool ClassIdTextNames(const std::string& text, const Steinberg::TUID cid);

}  // namespace vst3host
