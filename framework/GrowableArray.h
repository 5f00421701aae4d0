#pragma once
// Typed views onto StateChunk's growth rule: a value array for trivially copyable elements
// (doubles, pointers, small records) and a list of owned pointers.

#include "StateChunk.h"

#include <climits>
#include <cstring>
#include <new>
#include <type_traits>

template <class T>
class GrowableArray {
  static_assert(std::is_trivially_copyable<T>::value, "elements are moved as raw bytes");

public:
  GrowableArray() = default;

  int Count() const { return mChunk.Size() / static_cast<int>(sizeof(T)); }
  T* Data() { return reinterpret_cast<T*>(mChunk.Bytes()); }
  const T* Data() const { return reinterpret_cast<const T*>(mChunk.Bytes()); }

  // Bound-checked element access: null outside the array.
  T* At(int i) { return (i >= 0 && i < Count()) ? Data() + i : nullptr; }
  const T* At(int i) const { return (i >= 0 && i < Count()) ? Data() + i : nullptr; }

  // Resizes to n elements; new elements are zero bytes. Returns false when memory ran out.
  bool Resize(int n) {
    const int old = Count();
    if (n < 0) n = 0;
    if (n == old) return true;
    if (n > INT_MAX / static_cast<int>(sizeof(T))) return false;  // the byte size would overflow
    if (!mChunk.Resize(n * static_cast<int>(sizeof(T)), true) && n > 0) return false;
    if (n > old) std::memset(static_cast<void*>(Data() + old), 0, sizeof(T) * static_cast<size_t>(n - old));
    return true;
  }

  bool Add(const T& v) {
    const int n = Count();
    if (!Resize(n + 1)) return false;
    std::memcpy(static_cast<void*>(Data() + n), &v, sizeof(T));
    return true;
  }

  // Inserts at index i (clamped into 0..Count()), shifting later elements up.
  bool Insert(int i, const T& v) {
    const int n = Count();
    if (i < 0) i = 0;
    if (i > n) i = n;
    if (!Resize(n + 1)) return false;
    std::memmove(static_cast<void*>(Data() + i + 1), Data() + i, sizeof(T) * static_cast<size_t>(n - i));
    std::memcpy(static_cast<void*>(Data() + i), &v, sizeof(T));
    return true;
  }

  void RemoveAt(int i) {
    const int n = Count();
    if (i < 0 || i >= n) return;
    std::memmove(static_cast<void*>(Data() + i), Data() + i + 1, sizeof(T) * static_cast<size_t>(n - i - 1));
    Resize(n - 1);
  }

  void Fill(const T& v) {
    for (int i = 0, n = Count(); i < n; ++i) std::memcpy(static_cast<void*>(Data() + i), &v, sizeof(T));
  }

  void Clear() { mChunk.Clear(); }
  void Swap(GrowableArray& other) { mChunk.Swap(other.mChunk); }
  const StateChunk& Chunk() const { return mChunk; }

private:
  StateChunk mChunk;
};

// A list that owns its entries; they are deleted from the last to the first.
template <class T>
class OwnedList {
public:
  OwnedList() = default;
  ~OwnedList() { DeleteAll(); }
  OwnedList(const OwnedList&) = delete;
  OwnedList& operator=(const OwnedList&) = delete;

  int Count() const { return mPtrs.Count(); }
  // Null outside the list.
  T* Get(int i) const {
    T* const* p = mPtrs.At(i);
    return p ? *p : nullptr;
  }
  // Takes ownership; on failure the object is deleted and false returned.
  bool Add(T* obj) {
    if (mPtrs.Add(obj)) return true;
    delete obj;
    return false;
  }
  bool Insert(int i, T* obj) {
    if (mPtrs.Insert(i, obj)) return true;
    delete obj;
    return false;
  }
  void DeleteAll() {
    for (int i = Count() - 1; i >= 0; --i) delete Get(i);
    mPtrs.Clear();
  }

private:
  GrowableArray<T*> mPtrs;
};
