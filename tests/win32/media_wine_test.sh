#!/usr/bin/env bash
# The real Tavrello.exe under Wine, heard on the session's null sink:
#   - on Media Foundation, a piece of WAV files and then a piece of MP3 files made by lame play
#     in order, most files following the one before without silence;
#   - an MP3 seeks (a click on the position bar beside the thumb, a page of 30 s forward) and
#     the volume bar (two pages down from full) scales the player's own sound to 60 % of its
#     amplitude while the sink keeps its volume;
#   - the output follows a new default sink at the next play; when the player's stream goes
#     away at rest the next play opens a new one, and when it goes away while a file plays
#     that play fails with the error box and the next play is heard again; a sound server
#     that stalls fails the play within 5 s, and once it goes on the next play is heard;
#   - with Media Foundation disabled the program still starts and plays, through MCI.
#
#   media_wine_test.sh PROGRAM WORK_DIR WINE_COMMAND...   (in an audio session)
set -euo pipefail
if ! pactl info >/dev/null 2>&1; then
  echo "no sound server: nothing can be heard"
  exit 77
fi
program=$1 work=$2
shift 2
wine=("$@")
source "$(cd "$(dirname "$0")/../linux/e2e" && pwd)/e2e_lib.sh"
analyse="python3 $E2E_DIR/tone_analysis.py"
# Wine draws the caption and border inside the X window: client (x, y) is (x + 4, y + 26).
win_click() {
  xdotool mousemove --window "$1" $(($2 + 4)) $(($3 + 26)) click 1
}

rm -rf "$work"
mkdir -p "$work/app" "$work/gapless" "$work/seek/long"
cp "$program" "$work/app/"
for i in 1 2 3; do
  make_tone "$work/gapless/a wav/0$i.wav" $((220 + 220 * i)) 0.6
  make_tone "$work/mp3.wav" $((330 + 220 * i)) 1
  mkdir -p "$work/gapless/b mp3"
  lame --quiet -b 128 "$work/mp3.wav" "$work/gapless/b mp3/0$i.mp3"
done
make_tone "$work/low.wav" 300 3
make_tone "$work/high.wav" 500 40
sox "$work/low.wav" "$work/high.wav" "$work/long.wav"
lame --quiet -b 128 "$work/long.wav" "$work/seek/long/long.mp3"

# run_player NAME ROOT SECONDS [ACTION]: plays ROOT (per folder) from Play for SECONDS while the
# sink $recorded (the null sink tavtest unless set) is recorded into NAME.raw, Wine's messages into NAME.err; ACTION runs with the
# window after Play.
run_player() {
  local music
  music=$("${wine[@]}" winepath -w "$2" 2>/dev/null | tr -d '\r')
  printf '%s\r\n0\r\n\r\n000000,000000,000000,000000\r\n3\r\n' "$music" >"$work/app/Tavrello.ini"
  start_recording "$work/$1.raw" "${recorded:-tavtest}"
  (cd "$work/app" && exec "${wine[@]}" Tavrello.exe </dev/null 2>"$work/$1.err") &
  player=$!
  local window
  window=$(find_window "$TITLE") || fail "$1: no window titled '$TITLE'"
  win_click "$window" 114 10  # Play ("再生")
  ${4:-true} "$window"
  sleep "$3"
  # Wine's MCI wave driver at times crashes the process (tag_plugin_wine_test.sh), before its
  # close too, and then no window is left to close.
  close_window "$window" 2>/dev/null || [[ $1 == mci ]] || fail "$1: no window left to close"
  wait_player
  stop_recording
  [[ "$player_status" == 0 || $1 == mci ]] || fail "$1: the player ended with '$player_status'"
}

# expect_gapless NAME: the six tones of the two pieces in order; the silences at the changes
# of file, none counted as 0 ms, have a median of at most 10 ms and none is over 150 ms (MCI
# leaves half a second between MP3 files). Wine's stream keeps only 25 ms in the sound server:
# on a busy machine it runs dry now and then while the player closes one file and opens the
# next, and Wine puts 5-20 ms of silence before the rest.
expect_gapless() {
  local heard gaps
  heard=$($analyse tones "$work/$1.raw" "$RATE" 440 660 880 550 770 990 | tr '\n' ' ')
  gaps=$($analyse gaps "$work/$1.raw" "$RATE" | tr '\n' ' ')
  echo "$1: heard $heard; silences (ms): $gaps"
  [[ "$heard" == "440 660 880 550 770 990 "* ]] || fail "$1: heard $heard"
  python3 - "$heard" $gaps <<'PY' || fail "$1: silences between files $gaps"
import sys
import statistics
gaps = [int(gap) for gap in sys.argv[2:]]
gaps += [0] * (len(sys.argv[1].split()) - 1 - len(gaps))
assert statistics.median(gaps) <= 10 and max(gaps) <= 150
PY
}

run_player media-foundation "$work/gapless" 5.5
expect_gapless media-foundation

sink_volume() { pactl list sinks | grep -E '^\s*Volume:'; }
seek_and_turn_down() {
  # From the title's change on the file plays (the first play also opens the sound stream).
  for _ in $(seq 100); do
    [[ "$(xdotool getwindowname "$1")" == "$TITLE" ]] || break
    sleep 0.1
  done
  sleep 0.5
  win_click "$1" 740 34  # the position bar, right of the thumb: a page, 30 s forward
  sleep 1
  sink_volume >"$work/sink-before"
  win_click "$1" 300 10  # the volume bar, left of the thumb: a page down, twice
  sleep 0.3
  win_click "$1" 300 10
}
run_player seek "$work/seek" 1.2 seek_and_turn_down
[[ "$(sink_volume)" == "$(cat "$work/sink-before")" ]] || fail "the sink's own volume moved"
python3 - "$work/seek.raw" "$RATE" "$E2E_DIR" <<'PY'
import sys
sys.path.insert(0, sys.argv[3])
from tone_analysis import TONE_WINDOW_MS, read_samples, windows, dominant_tones, tone_sequence
samples, rate = read_samples(sys.argv[1]), int(sys.argv[2])
low = dominant_tones(samples, rate, [300, 500]).count(300) * TONE_WINDOW_MS / 1000
print(f"seek: 300 Hz for {low:.2f} s, then 500 Hz")
# Without the seek the low tone would last 3 s; after it the high one plays on.
assert tone_sequence(samples, rate, [300, 500]) == [300, 500], "no seek into the high tone"
assert low < 2.0, "the low tone played on: no seek"
levels = [max(abs(s) for s in w) for w in windows(samples, rate, 100)]
loud = [level for level in levels if level > max(levels) / 4]
ratio = loud[-2] / loud[len(loud) // 3]
print(f"volume: the last sound at {ratio:.2f} of the first one's amplitude")
assert 0.5 <= ratio <= 0.7, f"amplitude ratio {ratio:.2f}, expected 0.6"
PY

# The output's fallbacks, on a second null sink. Wine's default endpoint is one for whatever
# the sound server's default is, so its id stays when the default changes; the sound must still
# move. Destroying the player's stream in the server is what the player sees when the server
# restarts or the device goes: Wine's stream reports AUDCLNT_E_DEVICE_INVALIDATED.
make_tone "$work/fallback/tone/tone.wav" 440 30
pactl load-module module-null-sink sink_name=tavtwo sink_properties=device.description=tavtwo \
  >/dev/null
drop_stream() {
  local id
  id=$(pactl list sink-inputs | sed -n 's/.*object\.id = "\([0-9]*\)"/\1/p')
  [[ -n $id ]] || fail "no stream of the player to destroy"
  pw-cli destroy "$id" >/dev/null
}
replay() {
  win_click "$1" 114 10  # Play
  sleep 0.8
  win_click "$1" 175 10  # Stop
  sleep 0.3
}
lose_the_output() {
  sleep 0.5  # heard on tavtest, not recorded
  win_click "$1" 175 10
  pactl set-default-sink tavtwo
  for _ in $(seq 50); do
    [[ $(pactl get-default-sink) == tavtwo ]] && break
    sleep 0.1
  done
  replay "$1"
  drop_stream  # at rest
  replay "$1"
  ! xdotool search --onlyvisible --name '^error$' >/dev/null ||
    fail "the play after the stream went away at rest failed"
  win_click "$1" 114 10
  sleep 0.5
  drop_stream  # playing
  local box
  box=$(find_window error) || fail "no error box after the stream went away while playing"
  xdotool windowfocus --sync "$box" key Return
  sleep 0.3
  win_click "$1" 114 10
  sleep 0.5
  stall_the_server "$1"
}
# A sound server that stalls while the player plays: the play fails within the 5 s of the
# device's calls (the error box); once the server goes on, the next play is heard.
stall_the_server() {
  local box start
  # shellcheck disable=SC2086  # the session's sound server processes
  kill -STOP $TAV_SOUND_SERVER_PIDS
  start=$(date +%s%N)
  box=$(find_window error) || {
    kill -CONT $TAV_SOUND_SERVER_PIDS
    fail "no error box while the server stalled"
  }
  echo "fallback: the error box $((($(date +%s%N) - start) / 1000000)) ms into the stall"
  # shellcheck disable=SC2086
  kill -CONT $TAV_SOUND_SERVER_PIDS
  xdotool windowfocus --sync "$box" key Return
  sleep 0.3
  win_click "$1" 114 10
}
recorded=tavtwo run_player fallback "$work/fallback" 1 lose_the_output
gaps=$($analyse gaps "$work/fallback.raw" "$RATE")
echo "fallback: silences on tavtwo (ms): $(tr '\n' ' ' <<<"$gaps")"
# Four plays 0.3 s or more apart (within a play Wine's stream may run dry for less): after the
# new default, after the stream went at rest, before and after it went while playing; then the
# stall's silence of seconds, and a fifth play after it.
python3 - $gaps <<'PY' || fail "fallback: not four plays, a stall and a play after it"
import sys
gaps = [int(gap) for gap in sys.argv[1:]]
stall = next(i for i, gap in enumerate(gaps) if gap >= 2000)
assert sum(gap >= 300 for gap in gaps[:stall]) == 3
PY
pactl set-default-sink tavtest

mf_off=("${wine[@]}")
[[ ${mf_off[-1]} == wine ]] || fail "the Wine command does not end with wine: ${wine[*]}"
mf_off[-1]="WINEDLLOVERRIDES=mscoree,mshtml=;mfplat=d"
mf_off+=(WINEDEBUG=+loaddll wine)
wine=("${mf_off[@]}")
run_player mci "$work/gapless" 4  # MCI starts slower, and leaves gaps
grep -qi 'Loaded .*winmm' "$work/mci.err" || fail "no record of the libraries Wine loaded"
! grep -qi 'Loaded .*mfplat' "$work/mci.err" || fail "Media Foundation loaded though disabled"
heard=$($analyse tones "$work/mci.raw" "$RATE" 440 660 880 550 770 990 | tr '\n' ' ')
echo "mci: heard $heard; silences (ms): $($analyse gaps "$work/mci.raw" "$RATE" | tr '\n' ' ')"
[[ "$heard" == "440 660 880 "* ]] || fail "without Media Foundation: heard $heard"
