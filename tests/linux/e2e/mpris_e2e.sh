#!/usr/bin/env bash
# The desktop's media controls. Without a session bus the player starts, plays and closes
# as ever, and says nothing about it. On the test session's bus, playerctl sees it as
# "tavrello": with no folder chosen it cannot play and no call waits on the folder dialog;
# status and metadata of a tagged MP3 and of an untagged WAV, play, next, previous, seek to
# the millisecond, volume, stop, pause and resume where it was, a window seek while paused,
# shuffle and rate; change signals only when a file starts, pauses or stops and when the
# volume moves, Seeked after every seek; Quit saves the settings as the close box does.
#
#   mpris_e2e.sh TAVRELLO WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
begin_test "$1" "$2"

make_tagged_piece 20
write_settings "$work/run" "$work/music"

# --- No session bus.
(cd "$work/run" && exec env DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" "$program" \
  2>"$work/no-bus.log") &
player=$!
window=$(find_window "$TITLE") || fail "no window without a bus"
click "$window" 114 10  # Play ("再生")
find_window "Sonata - Bach" >/dev/null || fail "nothing plays without a bus"
close_window "$window"
wait_player
[[ "$player_status" == 0 ]] || fail "without a bus the player ended with '$player_status'"
if grep -qi 'bus' "$work/no-bus.log"; then
  fail "the player spoke of the missing bus: $(cat "$work/no-bus.log")"
fi
echo "without a bus: played and closed with 0, nothing said"

# --- On the session bus.
ctl() { playerctl -p tavrello "$@" 2>/dev/null || true; }
# expect VALUE ARGUMENT...: waits up to 5 s for "playerctl ARGUMENT..." to print VALUE.
expect() {
  local want=$1 got="" i
  shift
  for i in $(seq 50); do
    got=$(ctl "$@")
    [[ "$got" == "$want" ]] && return 0
    sleep 0.1
  done
  fail "playerctl $*: '$got', expected '$want'"
}
signals() { grep -c "member=$1" "$work/signals" || true; }
mpris() {
  gdbus call --session --dest org.mpris.MediaPlayer2.tavrello --object-path /org/mpris/MediaPlayer2 \
    --method "org.freedesktop.DBus.Properties.$1" org.mpris.MediaPlayer2.Player "${@:2}" 2>&1
}
# took_ms COMMAND...: runs the command; prints how long it took.
took_ms() {
  local start
  start=$(date +%s%N)
  "$@" >/dev/null
  echo $((($(date +%s%N) - start) / 1000000))
}

# --- No folder chosen yet: nothing can play, and no call waits on the folder dialog.
mkdir "$work/fresh"
start_player "$program" "$work/fresh"
window=$(find_window "$TITLE") || fail "no window without a folder"
[[ $(mpris Get CanPlay) == "(<false>,)" ]] || fail "CanPlay $(mpris Get CanPlay) with no folder"
windows=$(xdotool search --onlyvisible --pid "$player" | wc -l)
took=$(took_ms ctl play)
((took < 1000)) || fail "Play with no folder took $took ms"
sleep 0.5
[[ $(xdotool search --onlyvisible --pid "$player" | wc -l) == "$windows" ]] ||
  fail "Play with no folder opened a window"
click "$window" 744 198  # the folder button: its dialog stays open
sleep 1
for call in status play pause metadata; do
  took=$(took_ms ctl "$call")
  ((took < 1000)) || fail "$call took $took ms while the folder dialog was open"
done
expect Stopped status
xdotool key Escape
close_window "$window"
wait_player
echo "no folder: cannot play, Play opens nothing, calls answered while the dialog is open"

dbus-monitor --session "type='signal',path='/org/mpris/MediaPlayer2'" >"$work/signals" \
  2>/dev/null &
monitor=$!
trap 'kill "$monitor" 2>/dev/null || true; cleanup_processes' EXIT

start_player "$program" "$work/run"
window=$(find_window "$TITLE") || fail "no window on the bus"
expect Stopped status

ctl play
expect Playing status
format='{{title}}|{{artist}}|{{album}}|{{xesam:url}}'
expect "Sonata|Bach|Works|file://$piece/01.mp3" metadata --format "$format"
length=$(ctl metadata mpris:length)
((length >= 19900000 && length <= 20200000)) || fail "mpris:length $length for 20 s"
sleep 1.5  # fifteen display ticks
[[ $(signals PropertiesChanged) == 1 ]] ||
  fail "$(signals PropertiesChanged) change signals after one start"

ctl next
expect "02.wav||" metadata --format '{{title}}|{{artist}}|{{album}}'
expect "file://$piece/02.wav" metadata xesam:url
ctl previous
expect "Sonata|Bach" metadata --format '{{title}}|{{artist}}'

ctl position 12
position=$(ctl position)
[[ "${position%%.*}" == 12 ]] || fail "position $position after seeking to 12 s"
ctl position 5-
position=$(ctl position)
[[ "${position%%.*}" == 7 ]] || fail "position $position after seeking 5 s back from 12 s"
ctl position 99  # past the end: nothing happens
position=$(ctl position)
[[ "${position%%.*}" == 7 ]] || fail "position $position after asking for 99 s of 20 s"

server_volumes() { { pactl list sinks; pactl list sink-inputs; } | grep -E '^\s*Volume:'; }
before=$(server_volumes)
ctl volume 0.25
expect 0.250000 volume
[[ "$(server_volumes)" != "$before" ]] || fail "the sound server's volume did not move"

ctl stop
expect Stopped status
find_window "$TITLE" >/dev/null || fail "the title did not return to '$TITLE' on stop"
ctl play-pause
expect Playing status
sleep 1
ctl pause
expect Paused status
ctl position 7.123
expect 7.123000 position
sleep 1
expect 7.123000 position  # paused, it stays
click "$window" 300 34  # a page (30 s) back on the position bar, to the start, while paused
sleep 0.5
expect Paused status
position=$(ctl position)
[[ "$position" != 7.123000 ]] || fail "the window's seek while paused did not move"
ctl play-pause
expect Playing status
sleep 1
resumed=$(ctl position)
awk -v a="$position" -v b="$resumed" 'BEGIN { exit !(b - a >= 0.8 && b - a <= 1.3) }' ||
  fail "resumed at $resumed after pausing at $position and playing a second"
ctl shuffle On
expect On shuffle
[[ $(mpris Set Rate '<1.0>') == "()" ]] || fail "Rate 1.0 refused: $(mpris Set Rate '<1.0>')"
ctl stop
expect Stopped status
[[ $(mpris Get CanPause) == "(<false>,)" ]] || fail "CanPause $(mpris Get CanPause) when stopped"
# play, next, previous, volume, stop, play, pause, play, shuffle, stop: one signal each.
sleep 0.5
[[ $(signals PropertiesChanged) == 10 ]] ||
  fail "$(signals PropertiesChanged) change signals for ten changes"
# To 12 s, 5 s back, to 7.123 s and the window's: the one past the end is no seek.
[[ $(signals Seeked) == 4 ]] || fail "$(signals Seeked) Seeked signals for four seeks"

dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.tavrello \
  /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit >/dev/null
wait_player
[[ "$player_status" == 0 ]] || fail "Quit ended the player with '$player_status'"
# The settings were written with an empty window rectangle; the save writes the window's own.
[[ $(sed -n 4p "$work/run/tavrello.ini") != $'000000,000000,000000,000000\r' ]] ||
  fail "Quit did not save the settings"
echo "on the bus: status, metadata, next/previous, seek, volume, stop, pause, shuffle, signals, Quit"
