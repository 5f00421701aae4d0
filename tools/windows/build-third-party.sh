#!/usr/bin/env bash
# Cross-builds, as static mingw-w64 libraries, the libraries Debian ships for Linux only: libpng,
# libsndfile and libebur128, and installs the header-only nlohmann JSON library beside them, each
# from Debian's own source package (orig tarball checked against the sha256 below), into PREFIX.
# zlib is Debian's libz-mingw-w64-dev.
#
#   tools/windows/build-third-party.sh PREFIX
#
# Runs once: a stamp in PREFIX records what was built, and a later run with the same script and
# toolchain returns at once. The CMake configuration of the Windows build calls it.
set -euo pipefail

prefix=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
toolchain=$root/cmake/toolchains/mingw-w64-x86_64.cmake
sysroot=/usr/x86_64-w64-mingw32

# name, upstream version, sha256 of Debian's orig tarball.
libpng=(libpng1.6 1.6.39 a00e9d2f2f664186e4202db9299397f851aea71b36a35e74910b8820e380d441)
libsndfile=(libsndfile 1.2.0 62dc4e2bcd45f6f0e89cbc3522cc90eb174dca0eef0a0d19ead289833b390cd7)
libebur128=(libebur128 1.2.6 baa7fc293a3d4651e244d8022ad03ab797ca3c2ad8442c43199afe8059faa613)
nlohmann_json=(nlohmann-json3 3.11.2 d69f9deb6a75e2580465c6c4c5111b89c4dc2fa94e3a85fcd2ffcd9a143d9273)

stamp=$prefix/.third-party-$(cat "$0" "$toolchain" | sha256sum | cut -c1-16)
if [[ -f $stamp ]]; then exit 0; fi

work=$prefix/work
rm -rf "$work"
mkdir -p "$work/downloads"
log=$prefix/build.log
: >"$log"
echo "third-party: building libpng, libsndfile, libebur128 and nlohmann-json for Windows into $prefix (log: $log)" >&2

# Unpacks Debian's source package into $work/NAME: with Debian's patches when the package's .dsc
# and debian tarball arrived (dpkg-source checks them against the .dsc), else the orig tarball
# alone. The orig tarball must match the pinned checksum either way.
fetch() {
  local name=$1 version=$2 sha=$3
  local orig=${name}_${version}.orig.tar.gz
  # apt-get exits 100 when a patch file of a security update cannot be fetched although the
  # orig tarball arrived; the checksum below decides.
  (cd "$work/downloads" && apt-get source --download-only "$name" >>"$log" 2>&1) || true
  if [[ ! -f $work/downloads/$orig ]]; then
    echo "third-party: $orig did not arrive (is deb-src enabled? see tools/install-deps.sh)" >&2
    exit 1
  fi
  if ! (cd "$work/downloads" && echo "$sha  $orig" | sha256sum -c --quiet - >>"$log" 2>&1); then
    echo "third-party: $orig does not match its pinned sha256" >&2
    exit 1
  fi
  local dsc
  dsc=$(ls "$work/downloads/${name}_${version}"-*.dsc 2>/dev/null | head -n 1 || true)
  if [[ -n $dsc ]] && (cd "$work/downloads" && dpkg-source -x "$dsc" "$work/$name" >>"$log" 2>&1); then
    echo "third-party: $name $version with Debian's patches ($(basename "$dsc"))" >&2
  else
    rm -rf "$work/$name"
    mkdir -p "$work/$name"
    tar -xzf "$work/downloads/$orig" -C "$work/$name" --strip-components=1
    echo "third-party: $name $version from the orig tarball (Debian's patches unavailable)" >&2
  fi
}

cmake_build() {
  local name=$1; shift
  if ! { cmake -S "$work/$name" -B "$work/$name-build" -G "Unix Makefiles" \
           -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
           -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" "$@" &&
         cmake --build "$work/$name-build" -j 2 &&
         cmake --install "$work/$name-build"; } >>"$log" 2>&1; then
    echo "third-party: building $name failed; see $log" >&2
    exit 1
  fi
}

fetch "${libpng[@]}"
cmake_build libpng1.6 -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DZLIB_INCLUDE_DIR="$sysroot/include" -DZLIB_LIBRARY="$sysroot/lib/libz.a"

# The codecs behind FLAC, Ogg, Opus and MP3 are further libraries Debian has no mingw build of;
# libsndfile's own formats (WAV, AIFF, CAF, W64, RF64, AU, ...) need none of them.
fetch "${libsndfile[@]}"
cmake_build libsndfile -DBUILD_SHARED_LIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
  -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF \
  -DENABLE_CPACK=OFF -DENABLE_PACKAGE_CONFIG=OFF -DINSTALL_PKGCONFIG_MODULE=ON -DINSTALL_MANPAGES=OFF

# Loudness and true peak in velmora-host's summaries.
fetch "${libebur128[@]}"
cmake_build libebur128 -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DENABLE_TESTS=OFF

# JSON for velmora-host's --json and the module info: headers and CMake package files only.
fetch "${nlohmann_json[@]}"
cmake_build nlohmann-json3 -DJSON_BuildTests=OFF -DJSON_Install=ON -DJSON_MultipleHeaders=ON

rm -rf "$work"
rm -f "$prefix"/.third-party-*
touch "$stamp"
