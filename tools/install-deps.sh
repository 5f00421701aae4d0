#!/usr/bin/env bash
# Installs, with apt-get, everything the build, the tests and the demo need on Debian 12, for the
# Linux build and for the Windows cross build tested under Wine.
# Idempotent and quick when everything is present: it only calls apt-get for what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  clang-format                  # the test command checks the tree's formatting
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libmpfr-dev                   # the maths kernel's accuracy test: exact values to compare with
  libpng-dev zlib1g-dev
  juce-modules-source-data      # the VST3 SDK subset (pluginterfaces, base, public.sdk)
  libsndfile1-dev               # audio files for the command-line host
  libebur128-dev                # loudness and true peak (EBU R128) in the host's summaries
  nlohmann-json3-dev            # JSON: the host's --json output, the bundle's module info
  help2man man-db               # velmora-host's manual page, made from --help and read with man
  libfreetype-dev libfontconfig1-dev fonts-dejavu-core   # editor text
  python3-cairo                 # artwork generator (Debian's own python3)
  sox                           # the reference copy of tools/benchmark-ratios.py
  ardour                        # a real host in the tests: Ardour 7.3 headless (ardour7-lua, its VST3 scanner)
  # The Windows build: mingw-w64 with POSIX threads (std::mutex needs them), Debian's zlib for
  # mingw, dpkg-dev for `apt-get source` (libpng and libsndfile are cross-built from Debian's
  # source packages), zip for the user package; Wine on a virtual X display runs the tests.
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev dpkg-dev zip
  wine wine64 xvfb xauth xdotool x11-apps imagemagick
  libxcb1-dev libxcb-shm0-dev   # the editor's X11 window
  libxcb-xtest0-dev             # the X11 editor tests: pointer and keys injected on a private display
)

SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  [[ "$p" == \#* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# Source packages need deb-src entries next to the binary ones: in Debian 12's deb822 file
# ("Types: deb" becomes "Types: deb deb-src"), or else beside the one-line sources.list entries.
need_update=0
if ! grep -Eqs '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/*; then
  sources=/etc/apt/sources.list.d/debian.sources
  if [[ -f $sources ]] && grep -q '^Types: deb$' "$sources"; then
    echo "install-deps: enabling deb-src in $sources" >&2
    $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources"
  else
    echo "install-deps: adding deb-src entries in /etc/apt/sources.list.d/deb-src.list" >&2
    grep -hs '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $SUDO tee /etc/apt/sources.list.d/deb-src.list >/dev/null
  fi
  need_update=1
fi

if ((${#missing[@]})); then need_update=1; fi
if ((need_update)); then $SUDO apt-get update -qq; fi
if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}" >&2
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
