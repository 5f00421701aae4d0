// A process call must not allocate. Every heap allocation of this program, the module's included
// (it allocates through the same C library), is counted while process runs on this thread.
// Lives in its own executable because it replaces the C allocation functions.

#include "tests/vst3/Vst3TestSupport.h"

#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

namespace {
thread_local bool tCounting = false;
std::atomic<long> gAllocations{0};

void Count() {
  if (tCounting) gAllocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer owns malloc; it reports every allocation to an installed hook instead. (Declared
// here: GCC's runtime has the function but Debian ships its header only with clang.)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));
namespace {
void OnMalloc(const volatile void* /*ptr*/, size_t /*size*/) { Count(); }
void OnFree(const volatile void* /*ptr*/) {}
// Both hooks are required, or nothing is installed.
const int gHooksInstalled = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
}  // namespace
#else
// Forwarding replacements: the executable's definitions take precedence for every module loaded
// into the process, and the C library's own entry points still do the work.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* ptr, size_t size);
void* __libc_memalign(size_t alignment, size_t size);

void* malloc(size_t size) {
  Count();
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  Count();
  return __libc_calloc(count, size);
}
void* realloc(void* ptr, size_t size) {
  Count();
  return __libc_realloc(ptr, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
  Count();
  void* p = __libc_memalign(alignment, size);
  if (!p) return ENOMEM;
  *out = p;
  return 0;
}
}
#endif

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
class CountAllocations {
public:
  CountAllocations() {
    gAllocations = 0;
    tCounting = true;
  }
  ~CountAllocations() { tCounting = false; }
  long Count() const { return gAllocations.load(); }
};

class ProcessAllocation : public ::testing::TestWithParam<int32> {};
}  // namespace

TEST(ProcessAllocationCounter, SeesAllocationsInsideTheModule) {
  // Saving state builds a state chunk on the heap inside the module; the stream has room already.
  Plugin p = CreateVelmora();
  IPtr<MemoryStream> stream = owned(new MemoryStream());
  stream->setSize(4096);
  long allocations = 0;
  {
    CountAllocations counter;
    p.controller()->getState(stream);
    allocations = counter.Count();
  }
  EXPECT_GE(allocations, 1);
}

TEST_P(ProcessAllocation, ProcessNeverAllocates) {
  // The oversize block and the aux bus switched off while active are reported to the host;
  // counting the reports allocates nothing here, so whatever is counted is the plug-in's.
  int reports = 0;
  Plugin p = CreateVelmora([&reports](const char*, int, const char*) { ++reports; });
  p.component()->activateBus(kAudio, kInput, 1, true);
  ASSERT_EQ(p.instance->Prepare(GetParam(), 44100.0, 256), kResultOk);
  vst3host::ProcessBuffers buffers(GetParam(), 1000, {2, 2}, {2});
  for (int i = 0; i < 1000; ++i)
    for (int ch = 0; ch < 2; ++ch) {
      buffers.SetInput(0, ch, i, TestSignal(ch, i));
      buffers.SetInput(1, ch, i, TestSignal(ch + 2, i));
    }
  IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
  IPtr<vst3host::ParameterChanges> preset = owned(new vst3host::ParameterChanges());
  IPtr<vst3host::ParameterChanges> bypass = owned(new vst3host::ParameterChanges());
  changes->Add(kParamMix, 0, 0.5);
  changes->Add(kParamGain, 3, 0.7);
  changes->Add(kParamGain, 9, 0.8);
  changes->Add(kParamExternalSidechain, 0, 1.0);
  preset->Add(kPresetId, 0, 0.0);
  bypass->Add(kBypassId, 0, 1.0);

  long allocations = 0;
  {
    CountAllocations counter;
    p.processor()->process(buffers.Data(256, changes));
    p.processor()->process(buffers.Data(1000));  // longer than the setup: sliced
    p.processor()->process(buffers.Data(0));
    p.processor()->process(buffers.Data(128, preset));
    p.component()->activateBus(kAudio, kInput, 1, false);
    p.processor()->process(buffers.Data(256));  // aux switched off: scratch zeroed
    p.processor()->process(buffers.Data(256, bypass));
    allocations = counter.Count();
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(reports, 2);
}

INSTANTIATE_TEST_SUITE_P(Vst3, ProcessAllocation, ::testing::Values(kSample32, kSample64),
                         [](const ::testing::TestParamInfo<int32>& size) {
                           return size.param == kSample32 ? std::string("Float") : std::string("Double");
                         });
