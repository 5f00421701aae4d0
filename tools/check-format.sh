#!/usr/bin/env bash
# Checks that every C++ file git tracks is formatted as .clang-format says; lists the files that
# are not and fails. With --fix, formats them in place instead. Run by ./test.sh before building.
#   tools/check-format.sh          check
#   tools/check-format.sh --fix    format what is off
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -d '' sources < <(git ls-files -z -- '*.cpp' '*.h' '*.c')

if [[ ${1:-} == --fix ]]; then
  clang-format -i --style=file "${sources[@]}"
  exit 0
fi

# One clang-format run over all files; each diagnostic line starts with the file it is about.
report=$(clang-format --style=file --dry-run "${sources[@]}" 2>&1 || true)
mapfile -t off < <(sed -nE 's/^([^:]+):[0-9]+:[0-9]+: (warning|error):.*/\1/p' <<<"$report" | sort -u)
if ((${#off[@]})); then
  echo "check-format: ${#off[@]} file(s) not formatted as .clang-format says (tools/check-format.sh --fix):" >&2
  printf '  %s\n' "${off[@]}" >&2
  exit 1
fi
echo "check-format: ${#sources[@]} files formatted"
