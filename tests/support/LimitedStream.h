#pragma once
// A test double: a host stream that takes at most `budget` bytes in all and at most `piece` bytes
// per write call, as a full disk or a stream that accepts data in slices does; a write with nothing
// left to take fails. Reading and seeking work as in the SDK's memory stream.

#include "public.sdk/source/common/memorystream.h"

#include <algorithm>

namespace vst3host {

class LimitedStream : public Steinberg::MemoryStream {
public:
  LimitedStream(Steinberg::int32 budget, Steinberg::int32 piece) : mBudget(budget), mPiece(piece) {}
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) SMTG_OVERRIDE {
    const Steinberg::int32 n = std::min({numBytes, mBudget, mPiece});
    if (numBytesWritten) *numBytesWritten = 0;
    if (n <= 0) return Steinberg::kResultFalse;
    mBudget -= n;
    return MemoryStream::write(buffer, n, numBytesWritten);
  }

private:
  Steinberg::int32 mBudget;
  Steinberg::int32 mPiece;
};

}  // namespace vst3host
