#!/usr/bin/env bash
# Looks at a Windows module from the outside, as a host's loader does: a 64-bit DLL with an entry
# point, exporting exactly the given names and importing from Windows' own DLLs only (a DLL of
# the toolchain's, such as libwinpthread-1.dll, would be missing on a user's machine).
#
#   check-module-binary.sh OBJDUMP BINARY EXPORT...
set -euo pipefail
objdump=$1 binary=$2
shift 2

fail() {
  echo "$binary: $*" >&2
  exit 1
}

headers=$("$objdump" -p "$binary") || fail "objdump cannot read it"
grep -q "file format pei-x86-64" <<<"$headers" || fail "not a 64-bit Windows binary"
characteristics=$(awk '$1 == "Characteristics" { print $2; exit }' <<<"$headers")
(( characteristics & 0x2000 )) || fail "not a DLL (characteristics $characteristics)"
entry=$(awk '$1 == "AddressOfEntryPoint" { print $2; exit }' <<<"$headers")
(( 16#$entry != 0 )) || fail "no DLL entry point"

exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
               table && /^\t\[/ { print $3; next }
               table { exit }' <<<"$headers" | sort)
expected=$(printf '%s\n' "$@" | sort)
[[ $exports == "$expected" ]] || fail "exports [$(echo $exports)], expected [$(echo $expected)]"

# The system DLLs a plug-in may use (the platform services of the design) and the C runtime.
system="kernel32.dll user32.dll gdi32.dll advapi32.dll ole32.dll shell32.dll comdlg32.dll comctl32.dll
        wininet.dll msvcrt.dll"
while read -r dll; do
  [[ -z $dll ]] && continue
  grep -qiw -- "$dll" <<<"$system" || fail "imports $dll, which is not part of Windows"
done < <(awk '/DLL Name:/ { print $3 }' <<<"$headers")
echo "$binary: a DLL exporting $(echo $exports), importing system DLLs only"
