#pragma once
// Loudness and true peak measured on a thread of their own, beside the rendering. Measuring a
// render's input and output costs more than Velmora's processing, so in line it would more than
// double a render's time; on cores of their own they cost none. Audio is copied into a ring of
// fixed blocks (no allocation after construction) and measured in the order it came, so the
// result is exactly the in-line one. The renderer waits only when the measurement falls a whole
// ring behind.
#include "tools/support/Loudness.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora_host {

class LoudnessThread {
public:
  // For what LoudnessMeter::Measurable() accepts, as LoudnessMeter is.
  LoudnessThread(std::size_t channels, double sampleRate);
  // Stops the thread, whether or not everything was measured (a failed render).
  ~LoudnessThread();
  LoudnessThread(const LoudnessThread&) = delete;
  LoudnessThread& operator=(const LoudnessThread&) = delete;

  // Copies n frames of planar audio for measuring; from one thread, the one that constructed it.
  void Add(const double* const* frames, std::size_t n);
  // Waits until everything added is measured.
  Loudness Result();

private:
  struct Block {
    std::vector<std::vector<double>> channels;
    std::vector<const double*> pointers;
    std::size_t frames = 0;
  };
  void HandOver();  // the block being filled to the thread
  void Measure();   // the thread's loop

  LoudnessMeter mMeter;  // used by the thread only, until Result()
  std::vector<Block> mRing;
  std::size_t mFilling = 0;  // the block the renderer fills (its own until handed over)
  std::mutex mMutex;
  std::condition_variable mChanged;
  std::size_t mHandedOver = 0;  // blocks handed to the thread, ever
  std::size_t mMeasured = 0;    // blocks the thread has measured, ever
  bool mStop = false;
  std::thread mThread;
};

}  // namespace velmora_host
