#!/usr/bin/env bash
# The built player, started with a settings file naming a folder of two pieces, plays on
# Play: the three tones of the first piece in name order, then the tone of the next entry.
# Heard on the null sink's monitor.
#
#   playback_e2e.sh TAVRELLO WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
begin_test "$1" "$2"

music=$work/music
make_tone "$music/a piece/01.wav" 440 0.5
make_tone "$music/a piece/02.wav" 660 0.5
make_tone "$music/a piece/03.wav" 880 0.5
make_tone "$music/b next/01.wav" 1100 0.5
write_settings "$work/run" "$music"

start_recording "$work/recording.raw"
start_player "$program" "$work/run"
window=$(find_window "$TITLE") || fail "no window titled '$TITLE'"
click "$window" 114 10  # Play ("再生")
sleep 3
close_window "$window"
wait_player
stop_recording
[[ "$player_status" == 0 ]] || fail "the player ended with '$player_status' instead of 0"

heard=$(python3 "$E2E_DIR/tone_analysis.py" tones "$work/recording.raw" "$RATE" 440 660 880 1100 |
  tr '\n' ' ')
echo "heard: $heard"
# After the second entry the list starts over: only the first four tones count.
[[ "$heard" == "440 660 880 1100 "* ]] || fail "expected the tones 440 660 880 1100 first, heard: $heard"
echo "gaps (ms): $(python3 "$E2E_DIR/tone_analysis.py" gaps "$work/recording.raw" "$RATE" | tr '\n' ' ')"
