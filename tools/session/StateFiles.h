#pragma once
// Saving and restoring an instance's state. Two forms:
//  - the raw state stream a host stores for the instance: the component's state, or, when the
//    component keeps none (a single-component effect such as Velmora, whose state travels through
//    its controller), the controller's state;
//  - a .vstpreset file, written and read by the SDK's PresetFile with both states and the class id.
#include "tools/session/PluginModule.h"
#include "tools/support/OutputFile.h"
#include "tools/vst3host/Instance.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora_host {

// `effect` names the instance's class (its id goes into presets); `source` names the bytes in
// messages. Each answers false or empty when it fails, with the reason in `error`.
std::optional<std::vector<char>> CaptureState(vst3host::Instance& instance, const ClassDescription& effect,
                                              std::string* error);
bool RestoreState(vst3host::Instance& instance, const ClassDescription& effect, const std::vector<char>& bytes,
                  const std::string& source, std::string* error);

// Refuses what cannot be a raw state although an effect might read it as one: an empty file, a
// .vstpreset file, an audio file.
bool CheckStateFile(const std::vector<char>& bytes, const std::string& source, std::string* error);

// `metaInfo`, when not empty, is the XML meta info the preset file carries (see PresetLibrary).
std::optional<std::vector<char>> CapturePreset(vst3host::Instance& instance, const ClassDescription& effect,
                                               const std::string& metaInfo, std::string* error);
bool RestorePreset(vst3host::Instance& instance, const ClassDescription& effect, const std::vector<char>& bytes,
                   const std::string& source, std::string* error);

// Whole-file helpers, failing the same way. Writing fills the output's temporary file.
std::optional<std::vector<char>> ReadBinaryFile(const std::string& path, std::string* error);
bool WriteBinaryFile(const OutputFile& output, const std::vector<char>& bytes, std::string* error);

}  // namespace velmora_host
