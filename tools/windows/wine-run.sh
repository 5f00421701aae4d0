#!/usr/bin/env bash
# Runs one Windows program under Wine, inside a session of tools/windows/wine-session.sh (which
# provides WINEPREFIX and DISPLAY), and passes its output and exit status through:
#
#   tools/windows/wine-run.sh PROGRAM.exe [ARGS...]
#
# The program writes into regular files (Wine is many times slower writing into a pipe or
# /dev/null), copied to our stdout and stderr, carriage returns removed, once it has ended. It
# runs under `timeout` (VELMORA_WINE_TIMEOUT seconds, default 600).
set -uo pipefail

if [[ -z ${WINEPREFIX:-} || -z ${DISPLAY:-} ]]; then
  echo "wine-run: no Wine session (run inside tools/windows/wine-session.sh)" >&2
  exit 2
fi
out=$(mktemp "${TMPDIR:-/tmp}/velmora-wine.XXXXXX") || exit 2
err="$out.err"
trap 'rm -f "$out" "$err"' EXIT

timeout --kill-after=10 "${VELMORA_WINE_TIMEOUT:-600}" wine "$@" >"$out" 2>"$err" </dev/null
status=$?
tr -d '\r' <"$out"
tr -d '\r' <"$err" >&2
case $status in
  124) echo "wine-run: $1 did not finish within ${VELMORA_WINE_TIMEOUT:-600} s" >&2 ;;
  53) echo "wine-run: $1 could not be started (exit 53: a DLL it imports is missing?)" >&2 ;;
esac
exit $status
