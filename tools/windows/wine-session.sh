#!/usr/bin/env bash
# Runs a command inside a private Wine session and answers its exit status:
#
#   tools/windows/wine-session.sh PREFIX COMMAND [ARGS...]
#
# PREFIX is a Wine prefix of our own (made once with wineboot, about 15 s and 700 MB, then
# reused). For the command's duration a virtual X display (Xvfb, on a display number it picks
# itself) runs, and the prefix's wineserver is shut down afterwards. The command finds WINEPREFIX
# and DISPLAY set; tools/windows/wine-run.sh runs programs in it. Logs go beside the prefix
# (PREFIX.logs/).
set -euo pipefail

# The whole session runs on a private virtual display (tools/with-xvfb.sh starts it, under a time
# limit, and stops it by its PID after the wineserver has gone).
if [[ -z ${VELMORA_WINE_SESSION_DISPLAY:-} ]]; then
  export VELMORA_WINE_SESSION_DISPLAY=1
  exec "$(dirname "$0")/../with-xvfb.sh" --timeout 3600 "$0" "$@"
fi

prefix=$(realpath -m "$1")
shift
logs=$prefix.logs
mkdir -p "$logs"

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer dialogs, no desktop menu entries for the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# A server left behind by an interrupted session would keep serving its old display.
if [[ -d $prefix ]]; then timeout 30 wineserver -k >/dev/null 2>&1 || true; fi

stop() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
}
trap stop EXIT

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
