#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over every C++ source the normal build compiles
# (the compile commands of build/), our own files only; fails when any check finds something.
# Not part of ./test.sh: a whole-tree run takes about 15 minutes on two idle cores.
#   tools/run-clang-tidy.sh                 every source (configures build/ first if needed)
#   tools/run-clang-tidy.sh plugin/ kernel/ only sources under these folders
# Output: build/clang-tidy.log; the summary (findings per check) on standard output.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-tidy >/dev/null; then
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  $SUDO apt-get install -y -qq clang-tidy >/dev/null
fi
if [[ ! -f build/compile_commands.json ]]; then
  cmake --preset default >/dev/null
fi

root=$(pwd)
folders=("$@")
((${#folders[@]})) || folders=(base bitmap framework kernel plugin tools tests)
pattern=$(printf '%s|' "${folders[@]%/}")
mapfile -t sources < <(python3 - "$root" "${pattern%|}" <<'PY'
import json, re, sys
root, folders = sys.argv[1], sys.argv[2]
want = re.compile(r"^%s/(%s)/" % (re.escape(root), folders))
db = json.load(open("build/compile_commands.json"))
print("\n".join(sorted({e["file"] for e in db if want.match(e["file"])})))
PY
)
echo "clang-tidy: ${#sources[@]} sources, $(nproc) at a time; log in build/clang-tidy.log"
status=0
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 4 -P "$(nproc)" clang-tidy -p build --quiet >build/clang-tidy.log 2>/dev/null || status=$?
grep -E '(error|warning): ' build/clang-tidy.log | grep -oE '\[[A-Za-z0-9.,-]+\]$' | sort | uniq -c | sort -rn || true
if ((status)); then
  echo "clang-tidy: findings (see build/clang-tidy.log)" >&2
  exit 1
fi
echo "clang-tidy: no findings"
