// velmora_fuzz: attacks the built Velmora module through its exports, as a hostile host would, in
// seeded and bounded campaigns (Campaigns.h). Case i of a run with seed s runs campaign i modulo
// the campaign count, with choices drawn from a generator seeded by (s, i) alone, so any failing
// case replays on its own with --seed s --case i.
//
//   velmora_fuzz [--module PATH] [--seed N] [--cases N] [--seconds S] [--campaign NAME] [--case N]
//                [--loudest X]
//
// It stops at the first failing case (exit status 1, the case and what broke on stderr), after
// --cases cases or once --seconds have passed (whichever comes first; the default is 600 cases),
// and prints how many cases each campaign ran. Sanitizer reports end the program on their own.
// --loudest caps the huge hostile samples (default 1e30): the envelopes they lift need seconds of
// audio per two decades to release, so the short run of the test command keeps them lower.

#include "tests/fuzz/Campaigns.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
  std::string module = VELMORA_BUNDLE_DIR;
  uint64_t seed = 1;
  long cases = -1;
  double seconds = -1.0;
  int campaign = -1;  // all
  long onlyCase = -1;
  double loudest = 1e30;
};

[[noreturn]] void Usage(const char* problem) {
  std::fprintf(stderr,
               "velmora_fuzz: %s\n"
               "usage: velmora_fuzz [--module PATH] [--seed N] [--cases N] [--seconds S] [--campaign NAME] "
               "[--case N] [--loudest X]\n",
               problem);
  std::exit(2);
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) Usage(("missing value after " + arg).c_str());
    const char* value = argv[++i];
    char* end = nullptr;
    if (arg == "--module") {
      o.module = value;
    } else if (arg == "--seed") {
      o.seed = std::strtoull(value, &end, 10);
    } else if (arg == "--cases") {
      o.cases = std::strtol(value, &end, 10);
    } else if (arg == "--seconds") {
      o.seconds = std::strtod(value, &end);
    } else if (arg == "--loudest") {
      o.loudest = std::strtod(value, &end);
    } else if (arg == "--case") {
      o.onlyCase = std::strtol(value, &end, 10);
    } else if (arg == "--campaign") {
      for (size_t c = 0; c < std::size(fuzz::kCampaigns); ++c)
        if (std::strcmp(fuzz::kCampaigns[c].name, value) == 0) o.campaign = static_cast<int>(c);
      if (o.campaign < 0) Usage((std::string("no campaign named ") + value).c_str());
    } else {
      Usage(("unknown option " + arg).c_str());
    }
    if (end && *end) Usage(("not a number: " + std::string(value)).c_str());
  }
  if (o.cases < 0 && o.seconds < 0) o.cases = 600;
  return o;
}

// The generator seed of case i: the run's seed and the case number, well mixed (splitmix64).
uint64_t CaseSeed(uint64_t seed, uint64_t i) {
  uint64_t z = seed * 0x9E3779B97F4A7C15ull + i + 1;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  fuzz::LoadModule(o.module);
  fuzz::SetLoudestHostileSample(o.loudest);
  constexpr size_t kCount = std::size(fuzz::kCampaigns);
  long ran[kCount] = {};
  const auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };

  const long first = o.onlyCase >= 0 ? o.onlyCase : 0;
  const long last = o.onlyCase >= 0 ? o.onlyCase + 1 : o.cases >= 0 ? o.cases : -1;
  long i = first;
  for (; last < 0 || i < last; ++i) {
    if (o.seconds >= 0 && elapsed() >= o.seconds) break;
    const size_t c = o.campaign >= 0 ? static_cast<size_t>(o.campaign) : static_cast<size_t>(i) % kCount;
    fuzz::Rng rng(CaseSeed(o.seed, static_cast<uint64_t>(i)));
    fuzz::Verdict verdict;
    fuzz::kCampaigns[c].run(rng, verdict);
    ++ran[c];
    if (verdict.Failed()) {
      std::fprintf(
          stderr,
          "velmora_fuzz: campaign %s, case %ld of seed %llu: %s\n  replay: velmora_fuzz --seed %llu%s%s --case %ld\n",
          fuzz::kCampaigns[c].name, i, static_cast<unsigned long long>(o.seed), verdict.Failure().c_str(),
          static_cast<unsigned long long>(o.seed), o.campaign >= 0 ? " --campaign " : "",
          o.campaign >= 0 ? fuzz::kCampaigns[c].name : "", i);
      return 1;
    }
  }
  std::printf("velmora_fuzz: seed %llu, %ld cases in %.1f s:", static_cast<unsigned long long>(o.seed), i - first,
              elapsed());
  for (size_t c = 0; c < kCount; ++c) std::printf(" %s %ld", fuzz::kCampaigns[c].name, ran[c]);
  std::printf("\n");
  return 0;
}
