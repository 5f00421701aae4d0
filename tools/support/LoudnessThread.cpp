#include "tools/support/LoudnessThread.h"

#include <algorithm>

namespace velmora_host {

namespace {
constexpr std::size_t kRingBlocks = 8;
constexpr std::size_t kBlockFrames = 4096;
}  // namespace

LoudnessThread::LoudnessThread(std::size_t channels, double sampleRate)
    : mMeter(channels, sampleRate), mRing(kRingBlocks) {
  for (Block& block : mRing) {
    block.channels.assign(channels, std::vector<double>(kBlockFrames));
    for (const auto& channel : block.channels) block.pointers.push_back(channel.data());
  }
  mThread = std::thread([this] { Measure(); });
}

LoudnessThread::~LoudnessThread() {
  {
    const std::lock_guard<std::mutex> lock(mMutex);
    mStop = true;
  }
  mChanged.notify_all();
  mThread.join();
}

void LoudnessThread::Add(const double* const* frames, std::size_t n) {
  for (std::size_t done = 0; done < n;) {
    Block& block = mRing[mFilling % kRingBlocks];
    const std::size_t count = std::min(n - done, kBlockFrames - block.frames);
    for (std::size_t c = 0; c < block.channels.size(); ++c)
      std::copy_n(frames[c] + done, count, block.channels[c].begin() + static_cast<std::ptrdiff_t>(block.frames));
    block.frames += count;
    done += count;
    if (block.frames == kBlockFrames) HandOver();
  }
}

void LoudnessThread::HandOver() {
  std::unique_lock<std::mutex> lock(mMutex);
  ++mHandedOver;
  ++mFilling;
  mChanged.notify_all();
  // The next block to fill must have been measured.
  mChanged.wait(lock, [this] { return mHandedOver - mMeasured < kRingBlocks; });
  mRing[mFilling % kRingBlocks].frames = 0;
}

void LoudnessThread::Measure() {
  for (std::size_t next = 0;; ++next) {
    {
      std::unique_lock<std::mutex> lock(mMutex);
      mChanged.wait(lock, [&] { return mStop || mHandedOver > next; });
      if (mStop) return;
    }
    const Block& block = mRing[next % kRingBlocks];
    mMeter.Add(block.pointers.data(), block.frames);
    {
      const std::lock_guard<std::mutex> lock(mMutex);
      ++mMeasured;
    }
    mChanged.notify_all();
  }
}

Loudness LoudnessThread::Result() {
  if (mRing[mFilling % kRingBlocks].frames > 0) HandOver();
  std::unique_lock<std::mutex> lock(mMutex);
  mChanged.wait(lock, [this] { return mMeasured == mHandedOver; });
  return mMeter.Result();
}

}  // namespace velmora_host
