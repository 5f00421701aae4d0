#!/usr/bin/env bash
# Builds everything and runs the whole test suite twice: once in a normal build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer (the "default" and "asan" presets of
# CMakePresets.json). Installs missing Debian packages first.
#   ./test.sh                 everything
#   ./test.sh -R StateChunk   only tests whose name matches (passed on to ctest)
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh

jobs=$(nproc)
for preset in default asan; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs" "$@"
done
