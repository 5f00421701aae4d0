#!/usr/bin/env bash
# Installs, with apt-get, everything the build, the tests and the demo need on Debian 12.
# Idempotent and quick when everything is present: it only calls apt-get for what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev
  juce-modules-source-data      # the VST3 SDK subset (pluginterfaces, base, public.sdk)
  libsndfile1-dev               # audio files for the command-line host
  libfreetype-dev libfontconfig1-dev fonts-dejavu-core   # editor text
  python3-cairo                 # artwork generator (Debian's own python3)
  sox                           # the reference copy of tools/benchmark-ratios.py
)

missing=()
for p in "${packages[@]}"; do
  [[ "$p" == \#* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}" >&2
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
