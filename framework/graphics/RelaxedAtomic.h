#pragma once
// A value shared between the audio thread and the editor thread without a lock. The plug-in's
// processing writes the meter (and the binding pushes host edits into controls) while the
// editor's timer reads the same fields; a late or skipped update only delays one drawn frame,
// so relaxed ordering suffices. Plain assignment and conversion keep the control code readable.

#include <atomic>

template <class T>
class RelaxedAtomic {
public:
  RelaxedAtomic(T v = T()) : mValue(v) {}  // NOLINT: implicit on purpose, like the plain field
  RelaxedAtomic(const RelaxedAtomic&) = delete;
  RelaxedAtomic& operator=(const RelaxedAtomic&) = delete;

  T Load() const { return mValue.load(std::memory_order_relaxed); }
  void Store(T v) { mValue.store(v, std::memory_order_relaxed); }
  operator T() const { return Load(); }  // NOLINT
  RelaxedAtomic& operator=(T v) {
    Store(v);
    return *this;
  }

private:
  std::atomic<T> mValue;
};
