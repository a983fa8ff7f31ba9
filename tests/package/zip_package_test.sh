#!/usr/bin/env bash
# The Windows ZIP as a user gets it: made by CPack, holding one folder with Tavrello.exe and
# the readme and nothing else; unpacked, the program starts there under Wine to its window,
# closes with exit code 0 and saves its settings beside itself (its current folder).
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
[[ "$contents" == "$folder/Readme.txt"$'\n'"$folder/Tavrello.exe" ]] ||
  fail "the ZIP holds: $contents"

unpacked=$(mktemp -d)
player=""
trap '[[ -z $player ]] || kill $player 2>/dev/null; rm -rf "$unpacked"' EXIT
unzip -q "$archive" -d "$unpacked"
cd "$unpacked/$folder"
"${wine[@]}" Tavrello.exe </dev/null &
player=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -n1) ||
  fail "no window titled '$title'"
python3 "$e2e/close_window.py" "$window"
status=0
wait "$player" || status=$?
player=""
((status == 0)) || fail "Tavrello.exe ended with $status"
[[ -f Tavrello.ini ]] || fail "no settings saved beside Tavrello.exe"
echo "$(basename "$archive"): $(wc -l <<<"$contents") files; started, closed, settings saved"
