// Chooses the span path once, when the module loads: AVX2 where the processor has it and the
// operating system saves its registers, else SSE2. Both give the same bits, so the choice (and
// any call made before it) only changes the speed.
#include "kernel/Maths.h"

#include <cpuid.h>

namespace kernel {

bool ProcessorHasAvx2() {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  const bool osSavesYmm = (ecx & bit_OSXSAVE) != 0 && (ecx & bit_AVX) != 0;
  if (!osSavesYmm) return false;
  unsigned xcr0Low, xcr0High;
  __asm__("xgetbv" : "=a"(xcr0Low), "=d"(xcr0High) : "c"(0));
  if ((xcr0Low & 6u) != 6u) return false;  // XMM and YMM state enabled
  if (__get_cpuid_max(0, nullptr) < 7) return false;
  __cpuid_count(7, 0, eax, ebx, ecx, edx);
  return (ebx & bit_AVX2) != 0;
}

namespace {
const bool kUseAvx2 = ProcessorHasAvx2();
}  // namespace

bool SpansUseAvx2() { return kUseAvx2; }

void SinSpan(const double* x, double* out, int count) {
  kUseAvx2 ? avx2::SinSpan(x, out, count) : sse2::SinSpan(x, out, count);
}
void TanhSpan(const double* x, double* out, int count) {
  kUseAvx2 ? avx2::TanhSpan(x, out, count) : sse2::TanhSpan(x, out, count);
}
void ExpSpan(const double* x, double* out, int count) {
  kUseAvx2 ? avx2::ExpSpan(x, out, count) : sse2::ExpSpan(x, out, count);
}
void LogSpan(const double* x, double* out, int count) {
  kUseAvx2 ? avx2::LogSpan(x, out, count) : sse2::LogSpan(x, out, count);
}

}  // namespace kernel
