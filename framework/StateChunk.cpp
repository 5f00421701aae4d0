#include "framework/StateChunk.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace {
constexpr int64_t kPage = 4096;
constexpr int64_t kPageSlack = 96;  // keeps each block short of whole pages for the allocator's header
constexpr int64_t kMaxGrowth = 4194304;
}  // namespace

StateChunk::StateChunk(int growthQuantum) : mQuantum(growthQuantum) {}

StateChunk::~StateChunk() { std::free(mStorage); }

void StateChunk::Swap(StateChunk& other) {
  std::swap(mStorage, other.mStorage);
  std::swap(mCapacity, other.mCapacity);
  std::swap(mSize, other.mSize);
  std::swap(mQuantum, other.mQuantum);
}

// Capacity for n bytes, or -1 when it does not fit an int.
int StateChunk::NewCapacityFor(int n) const {
  if (n < 1) return 0;
  const int64_t size = n;
  int64_t growth = size / 2 > mQuantum ? size / 2 : mQuantum;
  int64_t capacity;
  if (mQuantum < kPage) {
    capacity = size + growth;
  } else {
    growth = (growth / kPage) * kPage;
    if (growth < kPage) growth = kPage;
    if (growth > kMaxGrowth) growth = kMaxGrowth;
    capacity = ((size + growth + kPageSlack) / kPage) * kPage - kPageSlack;
  }
  if (capacity > std::numeric_limits<int>::max()) return -1;
  return static_cast<int>(capacity);
}

void* StateChunk::Resize(int n, bool allowShrink) {
  if (n < 0) n = 0;
  if (n == mSize && !(allowShrink && n < mCapacity / 2)) return n ? mStorage : nullptr;

  int shrinkLimit = 0;
  if (allowShrink && n < mSize) {
    const int64_t half = mCapacity / 2;
    const int64_t pagesBelow = static_cast<int64_t>(mCapacity) - 4 * static_cast<int64_t>(mQuantum);
    int64_t limit = half < pagesBelow ? half : pagesBelow;
    if (limit < 1) limit = 1;
    shrinkLimit = static_cast<int>(limit);
  }

  if (n > mCapacity || n < shrinkLimit) {
    const int newCapacity = NewCapacityFor(n);
    if (newCapacity < 0) return nullptr;
    if (newCapacity != mCapacity) {
      if (newCapacity == 0) {
        std::free(mStorage);
        mStorage = nullptr;
        mCapacity = 0;
        mSize = 0;
        return nullptr;
      }
      void* grown = std::realloc(mStorage, static_cast<size_t>(newCapacity));
      if (!grown) {
        // realloc may fail where a fresh block still fits; the old block stays valid either way.
        grown = std::malloc(static_cast<size_t>(newCapacity));
        if (!grown) return nullptr;
        const int keep = n < mSize ? n : mSize;
        if (keep > 0) std::memcpy(grown, mStorage, static_cast<size_t>(keep));
        std::free(mStorage);
      }
      mStorage = static_cast<uint8_t*>(grown);
      mCapacity = newCapacity;
    }
  }
  mSize = n;
  return n ? mStorage : nullptr;
}

int StateChunk::Append(const void* bytes, int count) {
  if (count <= 0 || !bytes) return mSize;
  const int64_t newSize = static_cast<int64_t>(mSize) + count;
  if (newSize > std::numeric_limits<int>::max()) return mSize;
  const int oldSize = mSize;
  if (!Resize(static_cast<int>(newSize), true)) return mSize;
  std::memcpy(mStorage + oldSize, bytes, static_cast<size_t>(count));
  return mSize;
}

int StateChunk::Read(void* dst, int count, int pos) const {
  if (pos < 0 || count < 0 || !dst) return -1;
  if (static_cast<int64_t>(pos) + count > mSize) return -1;
  if (count > 0) std::memcpy(dst, mStorage + pos, static_cast<size_t>(count));
  return pos + count;
}
