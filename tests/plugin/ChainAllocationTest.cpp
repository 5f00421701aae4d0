// The audio path must never allocate: every operator new of this program is counted while the
// chain runs. Kept in its own executable because it replaces the global allocation functions.
#include "plugin/ProcessingChain.h"
#include "tests/plugin/ChainTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<bool> gCounting{false};
std::atomic<int> gAllocations{0};

void* CountedAlloc(std::size_t size) {
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return CountedAlloc(size); }
void* operator new[](std::size_t size) { return CountedAlloc(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return CountedAlloc(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(ChainAllocation, ProcessAllocatesNothing) {
  ProcessingChain chain;
  DerivedValues values;
  ApplyParamStep(values, kParamCompressorThreshold, 0);
  DefaultSteps steps;
  LastMeter meter;
  const int n = 512;
  std::vector<double> buffers[6];
  for (auto& b : buffers) b.resize(n);
  for (int i = 0; i < n; ++i) {
    buffers[0][i] = buffers[2][i] = 0.9 * std::sin(0.05 * i);
    buffers[1][i] = buffers[3][i] = std::nan("");  // the recovery path must not allocate either
    if (i % 3) buffers[1][i] = 0.5;
  }
  const double* ins[4] = {buffers[0].data(), buffers[1].data(), buffers[2].data(), buffers[3].data()};
  double* outs[2] = {buffers[4].data(), buffers[5].data()};

  gCounting = true;
  for (int block = 0; block < 8; ++block) {
    steps.step[kParamExternalSidechain] = block % 2;
    steps.step[kParamBypass] = block % 3 ? 1 : 0;
    steps.step[kParamCompressorRecoveryTime] = block % 6;
    chain.Process(ins, outs, block == 5 ? 0 : n, block < 4 ? 44100.0 : 1200.0, values, steps,
                  block == 7 ? nullptr : &meter);
  }
  gCounting = false;
  EXPECT_EQ(gAllocations.load(), 0);
  EXPECT_TRUE(std::isfinite(meter.value));
}

}  // namespace
