#!/usr/bin/env bash
# The user's package installed the way the read-me says: unpacked into the VST3 folder of the
# Wine prefix's drive C:, then found there by velmora-host.exe and described as on Linux.
# Runs inside tools/windows/wine-session.sh.
#
#   install-zip.sh ZIP OBJDUMP VELMORA_HOST_EXE
set -euo pipefail
zip=$1 objdump=$2 host=$3
here=$(cd "$(dirname "$0")" && pwd)

listing=$(unzip -Z1 "$zip" | sort)
expected=$(printf '%s\n' 'Velmora ReadMe.txt' Velmora.vst3/Contents/x86_64-win/Velmora.vst3 | sort)
[[ $listing == "$expected" ]] || { echo "the archive holds: $listing" >&2; exit 1; }

vst3="$WINEPREFIX/drive_c/Program Files/Common Files/VST3"
rm -rf "$vst3/Velmora.vst3" "$vst3/Velmora ReadMe.txt"
mkdir -p "$vst3"
unzip -q "$zip" -d "$vst3"
"$here/check-module-binary.sh" "$objdump" "$vst3/Velmora.vst3/Contents/x86_64-win/Velmora.vst3" \
  GetPluginFactory InitDll ExitDll

list=$("$here/../../tools/windows/wine-run.sh" "$host" list --module 'C:\Program Files\Common Files\VST3\Velmora.vst3')
head -n 1 <<<"$list"
grep -q '^module   C:\\Program Files\\Common Files\\VST3\\Velmora.vst3\\Contents\\x86_64-win\\Velmora.vst3$' <<<"$list"
grep -q 'Compressor Threshold' <<<"$list"
rm -rf "$vst3/Velmora.vst3" "$vst3/Velmora ReadMe.txt"
echo "installed from $(basename "$zip"), loaded and described, removed again"
