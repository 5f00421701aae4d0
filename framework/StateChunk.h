#pragma once
// Growable byte buffer. It carries the plug-in state and, through GrowableArray, backs every
// list of the framework. Its growth rule keeps allocations 96 bytes short of whole 4 KiB pages
// so that a small state (104 bytes for Velmora) is allocated once and never again.

#include <cstdint>

class StateChunk {
public:
  static constexpr int kDefaultQuantum = 4096;

  explicit StateChunk(int growthQuantum = kDefaultQuantum);
  ~StateChunk();
  StateChunk(const StateChunk&) = delete;
  StateChunk& operator=(const StateChunk&) = delete;

  // Sets the size to n bytes (n < 0 counts as 0), keeping the contents up to min(n, size).
  // Returns the storage, or null when the new size is 0 or memory ran out (then the size is
  // unchanged and nothing was stored).
  void* Resize(int n, bool allowShrink = true);

  // Appends count bytes and returns the new size (unchanged size when growth failed).
  int Append(const void* bytes, int count);

  // Copies count bytes from pos into dst and returns pos + count, or -1 (dst untouched) when
  // fewer than count bytes remain.
  int Read(void* dst, int count, int pos) const;

  int Size() const { return mSize; }
  int Capacity() const { return mCapacity; }
  int GrowthQuantum() const { return mQuantum; }
  uint8_t* Bytes() { return mStorage; }
  const uint8_t* Bytes() const { return mStorage; }

  // Empties the chunk and frees its storage.
  void Clear() { Resize(0, true); }

  // Exchanges storage, size and growth rule with other: memory changes hands without copying.
  void Swap(StateChunk& other);

private:
  int NewCapacityFor(int n) const;

  uint8_t* mStorage = nullptr;
  int mCapacity = 0;
  int mSize = 0;
  int mQuantum;
};
