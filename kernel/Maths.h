#pragma once
// Velmora's maths kernel: the transcendental functions the effect evaluates, written here with
// plain IEEE double operations in a fixed order (no fused multiply-add, no long double, constant
// tables only), so the same argument gives the same bits on every platform and in every build,
// whichever of the paths below computes it. Each is within 1 ulp of the exact value for every
// double argument (measured against MPFR by the kernel's accuracy test).
//
// One value at a time, or a span of values at once: the span functions run two doubles per SSE2
// instruction, or four per AVX2 instruction where the processor has AVX2 (chosen when the module
// loads), and give exactly the values the single-value functions give. A span's input and output
// may be the same memory.

namespace kernel {

double Sin(double x);
double Tanh(double x);
double Exp(double x);
double Log(double x);  // natural logarithm
double Tan(double x);
double PowHundredth(double y);  // 0.01^y, rounded once from the exact power
double PowTen(double y);        // 10^y, likewise

void SinSpan(const double* x, double* out, int count);
void TanhSpan(const double* x, double* out, int count);
void ExpSpan(const double* x, double* out, int count);
void LogSpan(const double* x, double* out, int count);

// Whether the span functions run on AVX2 in this process.
bool SpansUseAvx2();

// The two span paths themselves, for tests and benchmarks that hold them side by side. The AVX2
// ones may only be called when ProcessorHasAvx2() answers true.
bool ProcessorHasAvx2();
namespace sse2 {
void SinSpan(const double* x, double* out, int count);
void TanhSpan(const double* x, double* out, int count);
void ExpSpan(const double* x, double* out, int count);
void LogSpan(const double* x, double* out, int count);
}  // namespace sse2
namespace avx2 {
void SinSpan(const double* x, double* out, int count);
void TanhSpan(const double* x, double* out, int count);
void ExpSpan(const double* x, double* out, int count);
void LogSpan(const double* x, double* out, int count);
}  // namespace avx2

}  // namespace kernel
