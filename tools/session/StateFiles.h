#pragma once
// Saving and restoring an instance's state. Two forms:
//  - the raw state stream a host stores for the instance: the component's state, or, when the
//    component keeps none (a single-component effect such as Velmora, whose state travels through
//    its controller), the controller's state;
//  - a .vstpreset file, written and read by the SDK's PresetFile with both states and the class id.
#include "tools/session/PluginModule.h"
#include "tools/support/OutputFile.h"
#include "tools/vst3host/Instance.h"

#include <string>
#include <vector>

namespace velmora_host {

// `effect` names the instance's class (its id goes into presets). All four throw HostError.
std::vector<char> CaptureState(vst3host::Instance& instance, const ClassDescription& effect);
void RestoreState(vst3host::Instance& instance, const ClassDescription& effect, const std::vector<char>& bytes,
                  const std::string& source);

// Refuses, with HostError, what cannot be a raw state although an effect might read it as one: an
// empty file, a .vstpreset file, an audio file.
void CheckStateFile(const std::vector<char>& bytes, const std::string& source);

// `metaInfo`, when not empty, is the XML meta info the preset file carries (see PresetLibrary).
std::vector<char> CapturePreset(vst3host::Instance& instance, const ClassDescription& effect,
                                const std::string& metaInfo = {});
void RestorePreset(vst3host::Instance& instance, const ClassDescription& effect, const std::vector<char>& bytes,
                   const std::string& source);

// Whole-file helpers; both throw HostError. Writing fills the output's temporary file.
std::vector<char> ReadBinaryFile(const std::string& path);
void WriteBinaryFile(const OutputFile& output, const std::vector<char>& bytes);

}  // namespace velmora_host
