#!/usr/bin/env bash
# The desktop's media controls. Without a session bus the player starts, plays and closes
# as ever, and says nothing about it. On the test session's bus, playerctl sees it as
# "tavrello": status and metadata of a tagged MP3 and of an untagged WAV, play, next,
# previous, seek, volume, stop, play-pause; change signals only when a file starts or stops
# and when the volume moves; Quit saves the settings as the close box does.
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
signals() { grep -c 'member=PropertiesChanged' "$work/signals" || true; }

dbus-monitor --session "type='signal',path='/org/mpris/MediaPlayer2',member='PropertiesChanged'" \
  >"$work/signals" 2>/dev/null &
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
[[ $(signals) == 1 ]] || fail "$(signals) change signals after one start"

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
ctl play-pause
expect Stopped status
# play, next, previous, volume, stop, play, stop: one signal each, none from seeking.
sleep 0.5
[[ $(signals) == 7 ]] || fail "$(signals) change signals for seven changes"

dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.tavrello \
  /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit >/dev/null
wait_player
[[ "$player_status" == 0 ]] || fail "Quit ended the player with '$player_status'"
# The settings were written with an empty window rectangle; the save writes the window's own.
[[ $(sed -n 4p "$work/run/tavrello.ini") != $'000000,000000,000000,000000\r' ]] ||
  fail "Quit did not save the settings"
echo "on the bus: status, metadata, next/previous, seek, volume, stop, play-pause, 7 signals, Quit"
