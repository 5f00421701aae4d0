#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb server started for it and stopped after it,
# by its process id. The server picks a free display number itself (-displayfd), so parallel test
# runs, and other users of the machine, never share or collide on a display. The server and the
# command each run under a time limit; the server's messages go to a file, shown on failure. The
# screen is large enough for an editor at a display scale of 2 or more (Velmora's is 808 x 1268 at 2).
#   tools/with-xvfb.sh [--timeout SECONDS] COMMAND [ARGS...]
set -euo pipefail
limit=600
if [[ "${1:-}" == --timeout ]]; then
  limit=$2
  shift 2
fi
(($#)) || { echo "usage: with-xvfb.sh [--timeout SECONDS] COMMAND [ARGS...]" >&2; exit 2; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/with-xvfb.XXXXXX")
timeout $((limit + 30)) Xvfb -displayfd 3 -screen 0 2560x2048x24 -nolisten tcp -noreset \
  3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
server=$!
stop() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -rf "$dir"
}
trap stop EXIT

# The display number arrives once the server accepts connections.
for ((i = 0; i < 200; i++)); do
  [[ -s "$dir/display" ]] && break
  if ! kill -0 "$server" 2>/dev/null; then
    echo "with-xvfb: Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    exit 1
  fi
  sleep 0.05
done
[[ -s "$dir/display" ]] || { echo "with-xvfb: Xvfb gave no display number" >&2; exit 1; }
DISPLAY=":$(head -n 1 "$dir/display")"
export DISPLAY

status=0
timeout "$limit" "$@" || status=$?
exit "$status"
