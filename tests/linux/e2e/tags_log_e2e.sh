#!/usr/bin/env bash
# Through the real tag plug-in beside the program: a folder piece of a tagged MP3, a WAV with
# RIFF INFO and an untagged WAV shows "title - artist", "title / artist" and the full path as
# the window title in turn, and with PlayedMusicList.out present at start the three started
# files give three lines: artist／title twice, then the path.
#
#   tags_log_e2e.sh TAVRELLO WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
begin_test "$1" "$2"

make_tagged_piece 2
python3 - "$piece/02.wav" <<'PY'
import struct, sys
# Appends a LIST INFO chunk with a title and an artist, and fixes the RIFF size.
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
def chunk(name, body):
    return name + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")
info = b"INFO" + chunk(b"INAM", b"Adagio\0") + chunk(b"IART", b"Albinoni\0")
data += chunk(b"LIST", info)
data[4:8] = struct.pack("<I", len(data) - 8)
open(path, "wb").write(data)
PY
# Long enough that the piece does not start over before the window is closed.
make_tone "$piece/03.wav" 880 10
write_settings "$work/run" "$work/music"
: >"$work/run/PlayedMusicList.out"

start_player "$program" "$work/run"
window=$(find_window "$TITLE") || fail "no window titled '$TITLE'"
click "$window" 114 10  # Play ("再生")
find_window "Sonata - Bach" >/dev/null || fail "no title 'Sonata - Bach' for the MP3"
find_window "Adagio / Albinoni" >/dev/null || fail "no title 'Adagio / Albinoni' for the WAV"
find_window "$piece/03.wav" >/dev/null || fail "no title '$piece/03.wav' for the untagged WAV"
close_window "$window"
wait_player
[[ "$player_status" == 0 ]] || fail "the player ended with '$player_status'"

expected=$(printf 'Bach／Sonata\r\nAlbinoni／Adagio\r\n%s\r\n' "$piece/03.wav")
[[ "$(cat "$work/run/PlayedMusicList.out")" == "$expected" ]] ||
  fail "log: $(tr '\r\n' '| ' <"$work/run/PlayedMusicList.out")"
echo "titles shown in turn; log: $(tr '\r\n' '| ' <"$work/run/PlayedMusicList.out")"
