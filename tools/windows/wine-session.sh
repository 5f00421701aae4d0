#!/usr/bin/env bash
# Runs a command inside a private Wine session and answers its exit status:
#
#   tools/windows/wine-session.sh PREFIX COMMAND [ARGS...]
#
# PREFIX is a Wine prefix of our own (made once with wineboot, about 15 s and 700 MB, then
# reused). For the command's duration a virtual X display (Xvfb, on a display number it picks
# itself) runs, started here and stopped by its PID, and the prefix's wineserver is shut down
# afterwards. The command finds WINEPREFIX and DISPLAY set; tools/windows/wine-run.sh runs
# programs in it. Logs go beside the prefix (PREFIX.logs/).
set -euo pipefail

prefix=$(realpath -m "$1")
shift
logs=$prefix.logs
mkdir -p "$logs"

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer dialogs, no desktop menu entries for the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# A server left behind by an interrupted session would keep serving its old display.
if [[ -d $prefix ]]; then timeout 30 wineserver -k >/dev/null 2>&1 || true; fi

display_file=$logs/display
: >"$display_file"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >"$logs/xvfb.log" 2>&1 &
xvfb=$!

stop() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}
trap stop EXIT

# Xvfb writes the display number once it accepts connections.
for _ in $(seq 100); do
  [[ -s $display_file ]] && break
  if ! kill -0 "$xvfb" 2>/dev/null; then
    echo "wine-session: Xvfb did not start; see $logs/xvfb.log" >&2
    exit 1
  fi
  sleep 0.1
done
if [[ ! -s $display_file ]]; then
  echo "wine-session: Xvfb gave no display number within 10 s" >&2
  exit 1
fi
export DISPLAY=:$(head -n 1 "$display_file")

if [[ ! -f $prefix/.velmora-prefix-ready ]]; then
  echo "wine-session: making the Wine prefix $prefix (once)" >&2
  rm -rf "$prefix"
  if ! timeout 300 wineboot -i >"$logs/wineboot.log" 2>&1 || ! timeout 120 wineserver -w; then
    echo "wine-session: wineboot failed; see $logs/wineboot.log" >&2
    exit 1
  fi
  touch "$prefix/.velmora-prefix-ready"
fi

status=0
"$@" || status=$?
exit $status
