#!/usr/bin/env bash
# The Windows ZIP as a user gets it: made by CPack, holding one folder with Tavrello.exe, its tag
# library mp3infp.dll, the readme and the licence files and nothing else; unpacked, the program
# starts there under Wine to its window, shows the tags of a played MP3 through the DLL beside
# it (where a sound server lets the file play), closes with exit code 0 and saves its settings
# beside itself (its current folder).
#
#   zip_package_test.sh BUILD_DIR WINE_COMMAND...   (on a display)
set -euo pipefail
build=$(realpath "$1")
shift
wine=("$@")
e2e=$(cd "$(dirname "$0")/../linux/e2e" && pwd)
title='Tavrello  Ver.1.06'
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rm -rf "$build/packages"
log=$(cd "$build" && cpack -G ZIP -B "$build/packages" 2>&1) || fail "cpack: $log"
archive=$(echo "$build"/packages/Tavrello-*.zip)
[[ -f "$archive" ]] || fail "cpack made no ZIP"
folder=$(basename "$archive" .zip)
contents=$(unzip -Z1 "$archive" | grep -v '/$' | LC_ALL=C sort)
expected=$(printf "$folder/%s\n" LICENSE.txt Readme.txt THIRD-PARTY-NOTICES.txt Tavrello.exe \
  mp3infp.dll | LC_ALL=C sort)
[[ "$contents" == "$expected" ]] || fail "the ZIP holds: $contents"

unpacked=$(mktemp -d)
player=""
trap '[[ -z $player ]] || kill $player 2>/dev/null; rm -rf "$unpacked"' EXIT
unzip -q "$archive" -d "$unpacked"
cd "$unpacked/$folder"
# A folder of one tagged MP3 as the root folder, the window where it is created.
sound=false
if pactl info >/dev/null 2>&1; then
  sound=true
  sox -n -r 44100 -c 1 -b 16 "$unpacked/tone.wav" synth 2 sine 440 vol 0.3
  mkdir "$unpacked/music"
  lame --quiet --id3v1-only --tt Morning --ta Alice "$unpacked/tone.wav" "$unpacked/music/a.mp3"
  music=$("${wine[@]}" winepath -w "$unpacked/music" 2>/dev/null | tr -d '\r')
  printf '%s\r\n0\r\n\r\n000000,000000,000000,000000\r\n3\r\n' "$music" >Tavrello.ini
fi
"${wine[@]}" Tavrello.exe </dev/null &
player=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -n1) ||
  fail "no window titled '$title'"
if $sound; then
  xdotool mousemove --window "$window" 118 36 click 1  # Play ("再生")
  timeout 15 xdotool search --sync --onlyvisible --name '^Morning - Alice$' >/dev/null ||
    fail "no title 'Morning - Alice': mp3infp.dll did not load or read the tag"
fi
python3 "$e2e/close_window.py" "$window"
status=0
wait "$player" || status=$?
player=""
((status == 0)) || fail "Tavrello.exe ended with $status"
[[ -f Tavrello.ini && "$(sed -n 4p Tavrello.ini)" != 000000,000000,000000,000000* ]] ||
  fail "no settings saved beside Tavrello.exe"
echo "$(basename "$archive"): $(wc -l <<<"$contents") files; started, closed, settings saved"
$sound || { echo "no sound server: the tags through mp3infp.dll are not checked"; exit 77; }
echo "the tag of a played MP3 shown through mp3infp.dll"
