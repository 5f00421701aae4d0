#!/usr/bin/env bash
# Builds everything and runs the whole test suite three times: in a normal build, under
# AddressSanitizer + UndefinedBehaviorSanitizer (each with a short seeded fuzz run), and in the
# Windows cross build, whose tests run under Wine on a virtual display; between the last two it
# builds the cross-thread tests under ThreadSanitizer and runs them (the "default", "asan", "tsan"
# and "windows" presets of CMakePresets.json). After the normal build it builds the module and
# velmora-snapshot without any window system (the "headless" preset), which proves they need none;
# its tests are the normal build's. Installs missing Debian packages first, then checks that the
# tree is formatted as .clang-format says (tools/check-format.sh).
#   ./test.sh                 everything
#   ./test.sh --no-windows    without the Windows build (a quicker local loop; CI runs it)
#   ./test.sh -R StateChunk   only tests whose name matches (passed on to ctest, in every build)
set -euo pipefail
cd "$(dirname "$0")"

presets=(default headless asan tsan windows)
args=()
for arg in "$@"; do
  if [[ $arg == --no-windows ]]; then presets=(default headless asan tsan); else args+=("$arg"); fi
done
set -- "${args[@]+"${args[@]}"}"

tools/install-deps.sh
tools/check-format.sh

jobs=$(nproc)
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  if [[ $preset == headless ]]; then
    continue
  elif [[ $preset == windows ]]; then
    # Wine runs the Windows test programs with a private prefix (made once in build-win/) and a
    # private virtual display for the duration of the run.
    tools/windows/wine-session.sh build-win/wine-prefix ctest --preset "$preset" -j "$jobs" "$@"
  elif [[ $preset == tsan ]]; then
    # ThreadSanitizer needs the fixed memory layout it was built for; without address-space
    # randomisation it works whatever entropy the kernel would otherwise use.
    setarch "$(uname -m)" -R ctest --preset "$preset" -j "$jobs" "$@"
  else
    ctest --preset "$preset" -j "$jobs" "$@"
  fi
done
