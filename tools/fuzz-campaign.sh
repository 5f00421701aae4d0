#!/usr/bin/env bash
# A long fuzz campaign against the sanitizer build of the module (the "asan" preset): the same
# campaigns as the short run of ./test.sh, for as long as asked, with huge hostile samples up to
# 1e30 unless --loudest says otherwise. Stops at the first failure and prints how to replay it.
#   tools/fuzz-campaign.sh                          one hour, seed from the clock
#   tools/fuzz-campaign.sh --seconds 28800 --seed 42
#   tools/fuzz-campaign.sh --seconds 600 --campaign state     (other velmora_fuzz options pass on)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=3600
seed=$(date +%s)
args=()
while (($#)); do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done

"$root/tools/install-deps.sh"
(cd "$root" && cmake --preset asan >/dev/null && cmake --build --preset asan --target velmora_fuzz -j "$(nproc)" >&2)
echo "fuzz-campaign: seed $seed for $seconds s" >&2
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
exec "$root/build-asan/tests/fuzz/velmora_fuzz" --seed "$seed" --seconds "$seconds" "${args[@]}"
