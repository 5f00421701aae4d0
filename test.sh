#!/usr/bin/env bash
# Builds everything and runs the whole test suite twice: once in a normal build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer. Installs missing Debian packages first.
#   ./test.sh                 everything
#   ./test.sh -R StateChunk   only tests whose name matches (passed on to ctest)
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh

jobs=$(nproc)
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

run_suite build
ctest --test-dir build --output-on-failure -j "$jobs" "$@"

# The sanitizer build skips benchmarks; it exists to catch memory and undefined-behaviour faults.
run_suite build-asan -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_BENCHMARKS=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" "$@"
