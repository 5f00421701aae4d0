#include "tools/support/DeclaredLength.h"

#include "tools/support/HostPlatform.h"

#include "base/FileSystem.h"

#include <sndfile.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace velmora_host {

namespace {

// Streaming writers that cannot seek back put the largest size they dare into 32-bit size fields
// (0xFFFFFFFF; sox 0x7FFFF000): such a size says "unknown", not "truncated".
constexpr std::uint64_t kPlaceholderSize = 0x7FFFF000u;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::uint64_t Little(const unsigned char* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

std::uint64_t Big(const unsigned char* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
  return v;
}

// Walks the chunks of a RIFF-style file, calling visit(id, size, position of the chunk's data)
// until it answers false or the chunks end.
template <typename Visit>
void WalkChunks(std::FILE* f, long long position, long long end, bool bigEndian, Visit visit) {
  unsigned char header[8];
  while (position + 8 <= end) {
    if (SeekFile(f, position, SEEK_SET) != 0 || std::fread(header, 1, 8, f) != 8) return;
    const std::uint64_t size = bigEndian ? Big(header + 4, 4) : Little(header + 4, 4);
    if (!visit(std::string(reinterpret_cast<char*>(header), 4), size, position + 8)) return;
    position += 8 + static_cast<long long>(size + (size & 1));
  }
}

}  // namespace

std::optional<std::uint64_t> DeclaredFrames(const std::string& path) {
  const std::unique_ptr<std::FILE, FileCloser> file(velmora_base::OpenFile(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  std::FILE* f = file.get();
  unsigned char head[12];
  if (std::fread(head, 1, 12, f) != 12 || SeekFile(f, 0, SEEK_END) != 0) return std::nullopt;
  const long long length = TellFile(f);
  const std::string form(reinterpret_cast<char*>(head), 4), kind(reinterpret_cast<char*>(head) + 8, 4);

  if ((form == "RIFF" || form == "RF64" || form == "BW64") && kind == "WAVE") {
    std::uint64_t blockAlign = 0, dataSize = 0, ds64DataSize = 0;
    bool found = false;
    WalkChunks(f, 12, length, false, [&](const std::string& id, std::uint64_t size, long long at) {
      unsigned char data[16];
      if (id == "ds64" && size >= 16 && SeekFile(f, at, SEEK_SET) == 0 && std::fread(data, 1, 16, f) == 16)
        ds64DataSize = Little(data + 8, 8);
      if (id == "fmt " && size >= 14 && SeekFile(f, at, SEEK_SET) == 0 && std::fread(data, 1, 14, f) == 14)
        blockAlign = Little(data + 12, 2);
      if (id != "data") return true;
      found = true;
      dataSize = form != "RIFF" && size == 0xFFFFFFFFu ? ds64DataSize : size;
      if (form == "RIFF" && dataSize >= kPlaceholderSize) dataSize = 0;
      return false;
    });
    if (!found || blockAlign == 0 || dataSize == 0) return std::nullopt;
    return dataSize / blockAlign;
  }

  if (form == "FORM" && (kind == "AIFF" || kind == "AIFC")) {
    std::optional<std::uint64_t> frames;
    std::uint64_t soundSize = 0;
    WalkChunks(f, 12, length, true, [&](const std::string& id, std::uint64_t size, long long at) {
      unsigned char data[6];
      if (id == "COMM" && size >= 6 && SeekFile(f, at, SEEK_SET) == 0 && std::fread(data, 1, 6, f) == 6)
        frames = Big(data + 2, 4);
      if (id == "SSND") soundSize = size;
      return true;
    });
    if (!frames || *frames == 0 || soundSize >= kPlaceholderSize) return std::nullopt;
    return frames;
  }
  return std::nullopt;
}

std::optional<std::uint64_t> DeclaredStreamFrames(int format, int channels, std::int64_t frames) {
  const int major = format & SF_FORMAT_TYPEMASK;
  if (major != SF_FORMAT_WAV && major != SF_FORMAT_WAVEX && major != SF_FORMAT_RF64 && major != SF_FORMAT_AIFF)
    return std::nullopt;
  int bytes = 0;
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW: bytes = 1; break;
    case SF_FORMAT_PCM_16: bytes = 2; break;
    case SF_FORMAT_PCM_24: bytes = 3; break;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT: bytes = 4; break;
    case SF_FORMAT_DOUBLE: bytes = 8; break;
    default: return std::nullopt;
  }
  if (frames <= 0 || channels <= 0) return std::nullopt;
  const auto size = static_cast<std::uint64_t>(frames) * static_cast<std::uint64_t>(channels) * bytes;
  if (size >= kPlaceholderSize) return std::nullopt;
  return static_cast<std::uint64_t>(frames);
}

}  // namespace velmora_host
