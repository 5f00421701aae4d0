#!/usr/bin/env bash
# The main job: builds Velmora and its command-line host, then runs the host.
#   ./run.sh                          the demo: synthesised test programme through Velmora,
#                                     files in ./velmora-demo/ and a summary table
#   ./run.sh render in.wav out.wav --set "Ratio=3"    any velmora-host command and options
#   ./run.sh --help                   the host's usage
# Installs missing Debian packages first. Build output goes to stderr, so stdout carries only
# what the host prints; relative paths are taken from the directory you run it in.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/tools/install-deps.sh"

# The "default" preset of CMakePresets.json, as in test.sh, so the two commands share one build.
(cd "$root" && cmake --preset default >/dev/null && cmake --build --preset default --target velmora-host -j "$(nproc)" >&2)

# With no arguments the main job is the demo (velmora-host itself then only prints its usage).
if (($# == 0)); then set -- demo; fi
exec "$root/build/tools/velmora-host/velmora-host" "$@"
