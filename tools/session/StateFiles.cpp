#include "tools/session/StateFiles.h"

#include "tools/support/AudioFile.h"
#include "tools/support/HostError.h"
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

std::vector<char> CaptureState(vst3host::Instance& instance, const ClassDescription& effect) {
  if (IPtr<MemoryStream> stream = ComponentState(instance)) return BytesOf(*stream);
  IPtr<MemoryStream> stream = owned(new MemoryStream);
  if (instance.Controller()->getState(stream) != kResultOk)
    throw HostError("the effect \"" + effect.name + "\" did not hand out its state");
  return BytesOf(*stream);
}

void CheckStateFile(const std::vector<char>& bytes, const std::string& source) {
  if (bytes.empty()) throw HostError("state file " + source + " is empty");
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "VST3", 4) == 0)
    throw HostError(source + " is a VST3 preset file, not a raw state (load it with --load-preset)");
  if (IsAudioData(bytes)) throw HostError(source + " is an audio file, not a raw state");
}

void RestoreState(vst3host::Instance& instance, const ClassDescription& effect, const std::vector<char>& bytes,
                  const std::string& source) {
  if (bytes.empty()) throw HostError("state file " + source + " is empty");
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
  if (result != kResultOk) throw HostError("the effect \"" + effect.name + "\" refused the state in " + source);
}

std::vector<char> CapturePreset(vst3host::Instance& instance, const ClassDescription& effect,
                                const std::string& metaInfo) {
  IPtr<MemoryStream> stream = owned(new MemoryStream);
  const FUID classId = FUID::fromTUID(effect.cid);
  if (!PresetFile::savePreset(stream, classId, instance.Component(), instance.Controller(),
                              metaInfo.empty() ? nullptr : metaInfo.c_str(), static_cast<int32>(metaInfo.size())))
    throw HostError("the effect \"" + effect.name + "\" could not be saved as a preset");
  return BytesOf(*stream);
}

void RestorePreset(vst3host::Instance& instance, const ClassDescription& effect, const std::vector<char>& bytes,
                   const std::string& source) {
  ReadStream in(bytes);
  PresetFile preset(in.stream);
  if (!preset.readChunkList()) throw HostError(source + " is not a VST3 preset file");
  // The file names the class in the text form of the platform that saved it; both are this class.
  char classIdText[40] = {};
  preset.getClassID().toString(classIdText);
  if (!vst3host::ClassIdTextNames(classIdText, effect.cid))
    throw HostError("preset " + source + " belongs to another effect class than \"" + effect.name + "\"");
  // The same order PresetFile::loadPreset uses, step by step so a failure can be named.
  const bool ok = preset.restoreComponentState(instance.Component()) &&
                  (instance.IsSingleComponent() || preset.restoreComponentState(instance.Controller())) &&
                  (!preset.contains(kControllerState) || preset.restoreControllerState(instance.Controller()));
  if (!ok) throw HostError("the effect \"" + effect.name + "\" refused the preset " + source);
}

std::vector<char> ReadBinaryFile(const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(velmora_base::OpenFile(path.c_str(), "rb"), &std::fclose);
  if (!file) throw HostError("cannot read " + path + ": " + std::strerror(errno));
  std::vector<char> bytes;
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
  if (std::ferror(file.get())) throw HostError("cannot read " + path);
  return bytes;
}

void WriteBinaryFile(const OutputFile& output, const std::vector<char>& bytes) {
  const std::string& path = output.FinalPath();
  std::unique_ptr<FILE, int (*)(FILE*)> file(velmora_base::OpenFile(output.TempPath().c_str(), "wb"), &std::fclose);
  if (!file) throw HostError("cannot write " + path + ": " + std::strerror(errno));
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() || std::fflush(file.get()) != 0)
    throw HostError("cannot write " + path + ": " + std::strerror(errno));
}

}  // namespace velmora_host
