#!/usr/bin/env bash
# The user's package installed the way the read-me says: the bundle unpacked into the VST3 folder
# of the Wine prefix's drive C:, the factory presets copied into the user's Documents\VST3 Presets;
# then the bundle found there by velmora-host.exe and described as on Linux, its module info
# naming its browser pictures, and every preset loaded by name into the Windows module (the
# presets carry the class id in the Windows module's own text form, or it would refuse them).
# Runs inside tools/windows/wine-session.sh.
#
#   install-zip.sh ZIP OBJDUMP VELMORA_HOST_EXE
set -euo pipefail
zip=$1 objdump=$2 host=$3
here=$(cd "$(dirname "$0")" && pwd)
run=$here/../../tools/windows/wine-run.sh

# The archive: the read-me, the bundle (DLL, module info, the pictures at 1x and 2x) and the presets.
listing=$(unzip -Z1 "$zip" | LC_ALL=C sort)
fixed=$(printf '%s\n' 'Velmora ReadMe.txt' Velmora.vst3/Contents/x86_64-win/Velmora.vst3 \
  Velmora.vst3/Contents/Resources/moduleinfo.json | LC_ALL=C sort)
[[ $(grep -v -e '^Velmora.vst3/Contents/Resources/Snapshots/' -e '^Velmora Presets/' <<<"$listing") == "$fixed" ]] ||
  { echo "the archive holds: $listing" >&2; exit 1; }
snapshots=$(grep '^Velmora.vst3/Contents/Resources/Snapshots/' <<<"$listing" | sed 's|.*/||')
cid=$(grep -o '^[0-9A-F]\{32\}' <<<"$snapshots" | sort -u)
[[ $(wc -l <<<"$cid") == 1 && $snapshots == "${cid}_snapshot.png"$'\n'"${cid}_snapshot_2.0x.png" ]] ||
  { echo "the archive's pictures: $snapshots" >&2; exit 1; }
presets=$(grep '^Velmora Presets/' <<<"$listing")
if grep -v '^Velmora Presets/Corvanta/Velmora/[^/]*\.vstpreset$' <<<"$presets" >&2 || (($(wc -l <<<"$presets") < 8)); then
  echo "the archive's presets: $presets" >&2
  exit 1
fi

vst3="$WINEPREFIX/drive_c/Program Files/Common Files/VST3"
documents=$(ls -d "$WINEPREFIX"/drive_c/users/*/Documents | grep -v /Public/ | head -n 1)
user_presets="$documents/VST3 Presets/Corvanta/Velmora"
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-install-zip.XXXXXX")
cleanup() { rm -rf "$vst3/Velmora.vst3" "$vst3/Velmora Presets" "$vst3/Velmora ReadMe.txt" "$user_presets" "$work"; }
trap cleanup EXIT
cleanup
mkdir -p "$vst3" "$work"
unzip -q "$zip" -d "$vst3"
mkdir -p "$(dirname "$user_presets")"
cp -r "$vst3/Velmora Presets/Corvanta/Velmora" "$user_presets"
"$here/check-module-binary.sh" "$objdump" "$vst3/Velmora.vst3/Contents/x86_64-win/Velmora.vst3" \
  GetPluginFactory InitDll ExitDll

module='C:\Program Files\Common Files\VST3\Velmora.vst3'
list=$("$run" "$host" list --module "$module")
head -n 1 <<<"$list"
grep -q '^module   C:\\Program Files\\Common Files\\VST3\\Velmora.vst3\\Contents\\x86_64-win\\Velmora.vst3$' <<<"$list"
grep -q 'Compressor Threshold' <<<"$list"
# The module info names the class and its pictures as the Windows module reports them.
info="$vst3/Velmora.vst3/Contents/Resources/moduleinfo.json"
grep -q "\"CID\": \"$cid\"" "$info"
grep -q "\"Path\": \"Contents/Resources/Snapshots/${cid}_snapshot_2.0x.png\"" "$info"

# Every preset is listed from the user's preset folder, and loads by name.
wine_path() { echo "Z:${1//\//\\}"; }
sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 0.5 sine 220 sine 3000 gain -3
listed=$("$run" "$host" presets --module "$module" --json)
while IFS= read -r file; do
  name=$(basename "$file" .vstpreset)
  grep -qF "\"$name\"" <<<"$listed" || { echo "presets does not list \"$name\": $listed" >&2; exit 1; }
  "$run" "$host" render "$(wine_path "$work/tone.wav")" "$(wine_path "$work/$name.wav")" --module "$module" \
    --load-preset "$name" --no-loudness >/dev/null
done <<<"$(grep '\.vstpreset$' <<<"$presets")"
# A preset sets what its steps say: "Master Limiter" sounds as its steps set by hand do.
"$run" "$host" render "$(wine_path "$work/tone.wav")" "$(wine_path "$work/by-hand.wav")" --module "$module" \
  --set "Compressor Threshold=15" --set "Limit Level=14" --set "Level Recovery Time=1" --set Gain=3 \
  --set "GR Select=1" --no-loudness >/dev/null
"$run" "$host" render "$(wine_path "$work/tone.wav")" "$(wine_path "$work/default.wav")" --module "$module" \
  --no-loudness >/dev/null
cmp -s "$work/Master Limiter.wav" "$work/by-hand.wav"
! cmp -s "$work/Master Limiter.wav" "$work/default.wav"
echo "installed from $(basename "$zip"), loaded and described, $(wc -l <<<"$presets") presets loaded by name, removed again"
