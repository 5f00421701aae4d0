#include "tools/velmora-host/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace velmora_host {

using namespace Steinberg;

tresult PLUGIN_API MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  const std::size_t available = mPosition < mBytes.size() ? mBytes.size() - mPosition : 0;
  const std::size_t count = std::min(available, static_cast<std::size_t>(numBytes));
  if (count > 0) std::memcpy(buffer, mBytes.data() + mPosition, count);
  mPosition += count;
  if (numBytesRead) *numBytesRead = static_cast<int32>(count);
  // A short read is reported through the count, as file streams do; reading nothing at the end
  // fails so that readers that only check the result still stop.
  return count == 0 && numBytes > 0 ? kResultFalse : kResultOk;
}

tresult PLUGIN_API MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  const auto count = static_cast<std::size_t>(numBytes);
  if (mPosition + count > mBytes.size()) mBytes.resize(mPosition + count);
  if (count > 0) std::memcpy(mBytes.data() + mPosition, buffer, count);
  mPosition += count;
  if (numBytesWritten) *numBytesWritten = numBytes;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::seek(int64 pos, int32 mode, int64* result) {
  int64 base = 0;
  if (mode == kIBSeekCur) base = static_cast<int64>(mPosition);
  else if (mode == kIBSeekEnd) base = static_cast<int64>(mBytes.size());
  else if (mode != kIBSeekSet) return kInvalidArgument;
  const int64 target = base + pos;
  if (target < 0) return kInvalidArgument;
  mPosition = static_cast<std::size_t>(target);
  if (result) *result = target;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::tell(int64* pos) {
  if (!pos) return kInvalidArgument;
  *pos = static_cast<int64>(mPosition);
  return kResultOk;
}

}  // namespace velmora_host
