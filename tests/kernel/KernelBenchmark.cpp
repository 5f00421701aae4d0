// The kernel's functions one value at a time, over spans with SSE2 and with AVX2, and the C
// library's, on arguments like the effect's (colour-curve powers of music-level samples,
// envelopes, gains). Time per value; compare within one run.
#include "kernel/Maths.h"
#include "tests/kernel/KernelArguments.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kSpan = 64;

enum Path { kLibrary, kScalar, kSse2, kAvx2 };

struct Entry {
  double (*library)(double);
  double (*scalar)(double);
  void (*sse2)(const double*, double*, int);
  void (*avx2)(const double*, double*, int);
  std::vector<double> (*arguments)();
};

std::vector<double> Powers() {  // x^4 and x^3 of samples of a loud mix
  std::vector<double> x = kerneltest::Uniform(-1.2, 1.2, kSpan * 16, 1);
  for (size_t i = 0; i < x.size(); ++i) x[i] = i % 2 ? x[i] * x[i] * x[i] : x[i] * x[i] * x[i] * x[i];
  return x;
}
std::vector<double> Gains() { return kerneltest::Uniform(-3.0, 0.0, kSpan * 16, 2); }
std::vector<double> Envelopes() { return kerneltest::Uniform(1e-4, 1.5, kSpan * 16, 3); }

const Entry kEntries[] = {
    {[](double x) { return std::sin(x); }, kernel::Sin, kernel::sse2::SinSpan, kernel::avx2::SinSpan, Powers},
    {[](double x) { return std::tanh(x); }, kernel::Tanh, kernel::sse2::TanhSpan, kernel::avx2::TanhSpan, Powers},
    {[](double x) { return std::exp(x); }, kernel::Exp, kernel::sse2::ExpSpan, kernel::avx2::ExpSpan, Gains},
    {[](double x) { return std::log(x); }, kernel::Log, kernel::sse2::LogSpan, kernel::avx2::LogSpan, Envelopes},
};

void BM_Function(benchmark::State& state) {
  const Entry& e = kEntries[state.range(0)];
  const Path path = static_cast<Path>(state.range(1));
  if (path == kAvx2 && !kernel::ProcessorHasAvx2()) {
    state.SkipWithError("no AVX2");
    return;
  }
  const std::vector<double> x = e.arguments();
  std::vector<double> out(x.size());
  size_t at = 0;
  for (auto _ : state) {
    const double* in = x.data() + at;
    double* o = out.data() + at;
    switch (path) {
      case kLibrary:
        for (int i = 0; i < kSpan; ++i) o[i] = e.library(in[i]);
        break;
      case kScalar:
        for (int i = 0; i < kSpan; ++i) o[i] = e.scalar(in[i]);
        break;
      case kSse2: e.sse2(in, o, kSpan); break;
      case kAvx2: e.avx2(in, o, kSpan); break;
    }
    benchmark::ClobberMemory();
    at = (at + kSpan) % x.size();
  }
  state.SetItemsProcessed(state.iterations() * kSpan);
  state.counters["ns_per_value"] = benchmark::Counter(static_cast<double>(state.iterations() * kSpan),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Function)->ArgNames({"function", "path"})->ArgsProduct({{0, 1, 2, 3}, {kLibrary, kScalar, kSse2, kAvx2}});

}  // namespace

BENCHMARK_MAIN();
