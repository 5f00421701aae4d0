#pragma once
// An IBStream over bytes in memory with an independent read/write position, so one stream can
// be written by a plug-in, rewound, and read back (or parsed by the SDK's preset reader, which
// seeks around in it).
#include "tools/velmora-host/HostObject.h"

#include "pluginterfaces/base/ibstream.h"

#include <utility>
#include <vector>

namespace velmora_host {

class MemoryStream : public HostObject<Steinberg::IBStream> {
public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<char> bytes) : mBytes(std::move(bytes)) {}

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes, Steinberg::int32* numBytesRead) override;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) override;
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode, Steinberg::int64* result) override;
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;

  const std::vector<char>& bytes() const { return mBytes; }
  void rewind() { mPosition = 0; }

private:
  std::vector<char> mBytes;
  std::size_t mPosition = 0;
};

}  // namespace velmora_host
