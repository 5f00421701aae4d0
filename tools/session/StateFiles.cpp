#include "tools/session/StateFiles.h"

#include "tools/support/AudioFile.h"
#include "tools/vst3host/ClassIdText.h"

#include "base/FileSystem.h"

#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/vstpresetfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace velmora_host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::vector<char> BytesOf(const MemoryStream& stream) {
  return std::vector<char>(stream.getData(), stream.getData() + stream.getSize());
}

// The component owns the state when it writes one; otherwise the controller does.
IPtr<MemoryStream> ComponentState(vst3host::Instance& instance) {
  IPtr<MemoryStream> stream = owned(new MemoryStream);
  if (instance.Component()->getState(stream) != kResultOk || stream->getSize() == 0) return nullptr;
  return stream;
}

// A stream reading a private copy of `bytes` (the SDK stream wants writable memory).
struct ReadStream {
  explicit ReadStream(const std::vector<char>& bytes)
      : copy(bytes), stream(owned(new MemoryStream(copy.data(), static_cast<TSize>(copy.size())))) {}
  std::vector<char> copy;
  IPtr<MemoryStream> stream;
};

}  // namespace

std::optional<std::vector<char>> CaptureState(vst3host::Instance& instance, const ClassDescription& effect,
                                              std::string* error) {
  if (IPtr<MemoryStream> stream = ComponentState(instance)) return BytesOf(*stream);
  IPtr<MemoryStream> stream = owned(new MemoryStream);
  if (instance.Controller()->getState(stream) != kResultOk) {
    *error = "the effect \"" + effect.name + "\" did not hand out its state";
    return std::nullopt;
  }
  return BytesOf(*stream);
}

bool CheckStateFile(const std::vector<char>& bytes, const std::string& source, std::string* error) {
  if (bytes.empty())
    *error = "state file " + source + " is empty";
  else if (bytes.size() >= 4 && std::memcmp(bytes.data(), "VST3", 4) == 0)
    *error = source + " is a VST3 preset file, not a raw state (load it with --load-preset)";
  else if (IsAudioData(bytes))
    *error = source + " is an audio file, not a raw state";
  else
    return true;
  return false;
}

bool RestoreState(vst3host::Instance& instance, const ClassDescription& effect, const std::vector<char>& bytes,
                  const std::string& source, std::string* error) {
  if (bytes.empty()) {
    *error = "state file " + source + " is empty";
    return false;
  }
  ReadStream in(bytes);
  tresult result = kResultFalse;
  if (ComponentState(instance)) {
    result = instance.Component()->setState(in.stream);
    if (result == kResultOk && !instance.IsSingleComponent()) {
      in.stream->seek(0, IBStream::kIBSeekSet, nullptr);
      instance.Controller()->setComponentState(in.stream);
    }
  } else {
    result = instance.Controller()->setState(in.stream);
  }
  if (result == kResultOk) return true;
  *error = "the effect \"" + effect.name + "\" refused the state in " + source;
  return false;
}

std::optional<std::vector<char>> CapturePreset(vst3host::Instance& instance, const ClassDescription& effect,
                                               const std::string& metaInfo, std::string* error) {
  IPtr<MemoryStream> stream = owned(new MemoryStream);
  const FUID classId = FUID::fromTUID(effect.cid);
  if (!PresetFile::savePreset(stream, classId, instance.Component(), instance.Controller(),
                              metaInfo.empty() ? nullptr : metaInfo.c_str(), static_cast<int32>(metaInfo.size()))) {
    *error = "the effect \"" + effect.name + "\" could not be saved as a preset";
    return std::nullopt;
  }
  return BytesOf(*stream);
}

bool RestorePreset(vst3host::Instance& instance, const ClassDescription& effect, const std::vector<char>& bytes,
                   const std::string& source, std::string* error) {
  ReadStream in(bytes);
  PresetFile preset(in.stream);
  if (!preset.readChunkList()) {
    *error = source + " is not a VST3 preset file";
    return false;
  }
  // The file names the class in the text form of the platform that saved it; both are this class.
  char classIdText[40] = {};
  preset.getClassID().toString(classIdText);
  if (!vst3host::ClassIdTextNames(classIdText, effect.cid)) {
    *error = "preset " + source + " belongs to another effect class than \"" + effect.name + "\"";
    return false;
  }
  // The same order PresetFile::loadPreset uses, step by step so a failure can be named.
  const bool ok = preset.restoreComponentState(instance.Component()) &&
                  (instance.IsSingleComponent() || preset.restoreComponentState(instance.Controller())) &&
                  (!preset.contains(kControllerState) || preset.restoreControllerState(instance.Controller()));
  if (ok) return true;
  *error = "the effect \"" + effect.name + "\" refused the preset " + source;
  return false;
}

std::optional<std::vector<char>> ReadBinaryFile(const std::string& path, std::string* error) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(velmora_base::OpenFile(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::vector<char> bytes;
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
  if (std::ferror(file.get())) {
    *error = "cannot read " + path;
    return std::nullopt;
  }
  return bytes;
}

bool WriteBinaryFile(const OutputFile& output, const std::vector<char>& bytes, std::string* error) {
  const std::string& path = output.FinalPath();
  std::unique_ptr<FILE, int (*)(FILE*)> file(velmora_base::OpenFile(output.TempPath().c_str(), "wb"), &std::fclose);
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() || std::fflush(file.get()) != 0) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace velmora_host
