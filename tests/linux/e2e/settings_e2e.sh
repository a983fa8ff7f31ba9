#!/usr/bin/env bash
# What the user sets survives a restart: the root folder (typed in Japanese, saved as UTF-8),
# the unit, the exclusion text and the play target, typed and clicked in the real window, and
# the window moved and resized. The first run writes the settings file at exit; the second run
# starts with the window where the first one left it and, without changes, writes the same
# file again. A session's end keeps them too: SIGTERM, SIGHUP and SIGINT each close the player
# as its window's close does. Only one player runs on a settings file.
#
#   settings_e2e.sh TAVRELLO WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
begin_test "$1" "$2"
music=$work/音楽
mkdir -p "$music"
settings=$work/run/$(basename "$program").ini

# Without a window manager the X window is the client area; the player counts a typical
# frame of 8 pixels at the sides and the bottom and 31 at the top around it. The size is at
# least the creation size outside, so that the next start keeps it as it is.
left=100 top=80 width=820 height=640
expected_rectangle=$(printf '%06d,%06d,%06d,%06d' $((left - 8)) $((top - 31)) \
  $((left + width + 8)) $((top + height + 8)))

start_player "$program" "$work/run"
window=$(find_window "$TITLE") || fail "no window titled '$TITLE'"
xdotool windowmove --sync "$window" "$left" "$top"
xdotool windowsize --sync "$window" "$width" "$height"
sleep 0.5
# The option row is anchored to the right edge of the client area.
xdotool windowfocus --sync "$window"
click "$window" 100 186                      # FolderEdit
# A character the keyboard map lacks is typed through a key xdotool maps to it for the time
# of the keystroke; a slow player (the sanitized build) may read the map after it is undone
# and lose the character, so these keystrokes last longer.
xdotool type --delay 20 "$work/"
xdotool type --delay 400 "音楽"
click "$window" $((width - 212 + 20)) 210    # ExclusionEdit
xdotool type --delay 20 "Live"
click "$window" 94 210                       # TargetButton: MP3+WAV -> MP3
click "$window" $((width - 356 + 50)) 210    # UnitCombo, then the second item
sleep 0.3
xdotool key --delay 50 Down Return
sleep 0.3
close_window "$window"
wait_player
[[ "$player_status" == 0 ]] || fail "the first run ended with '$player_status'"
[[ -f "$settings" ]] || fail "no settings file $settings"

expected=$(printf '%s\r\n1\r\nLive\r\n%s\r\n1\r\n' "$music" "$expected_rectangle")
[[ "$(cat "$settings")" == "$expected" ]] ||
  fail "settings after the first run: $(od -c "$settings" | head -20)"
cp "$settings" "$work/first.ini"
echo "first run saved: $(tr '\r\n' '| ' <"$settings")"

start_player "$program" "$work/run"
window=$(find_window "$TITLE") || fail "no window on the second run"
sleep 0.5
geometry=$(xdotool getwindowgeometry --shell "$window")
eval "$geometry"
[[ "$X,$Y,$WIDTH,$HEIGHT" == "$left,$top,$width,$height" ]] ||
  fail "the window came back at $X,$Y size ${WIDTH}x$HEIGHT, not $left,$top ${width}x$height"
close_window "$window"
wait_player
[[ "$player_status" == 0 ]] || fail "the second run ended with '$player_status'"
cmp -s "$settings" "$work/first.ini" ||
  fail "the second run saved other settings: $(tr '\r\n' '| ' <"$settings")"
echo "second run restored the window at $X,$Y ${WIDTH}x$HEIGHT and saved the same settings"

# Each signal after a click on the play target (MP3 -> WAV -> MP3+WAV -> MP3) ends the player
# with 0, the click saved.
for step in TERM:2 HUP:3 INT:1; do
  signal=${step%:*} target=${step#*:}
  start_player "$program" "$work/run"
  window=$(find_window "$TITLE") || fail "no window before SIG$signal"
  sleep 0.5
  click "$window" 94 210 # TargetButton
  sleep 0.3
  kill -s "$signal" "$player"
  wait_player
  [[ "$player_status" == 0 ]] || fail "SIG$signal ended the player with '$player_status'"
  expected=$(printf '%s\r\n1\r\nLive\r\n%s\r\n%s\r\n' "$music" "$expected_rectangle" "$target")
  [[ "$(cat "$settings")" == "$expected" ]] ||
    fail "settings after SIG$signal: $(tr '\r\n' '| ' <"$settings")"
done
echo "SIGTERM, SIGHUP and SIGINT each closed the player with 0 and saved the play target"

# One player per settings folder: a second start in the folder raises and focuses the running
# player's window and ends with 0 without touching the folder; a player in another folder runs
# beside it, on top when it has started. Without a window manager the stacking order is the
# root's list of children, top first, and focus the last one granted (taking it from another
# client is the window manager's decision).
windows() { xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null | sort; }
stacking() { xwininfo -root -children | grep -oE '^ +0x[0-9a-f]+' | tr -d ' '; }
start_player "$program" "$work/run"
first=$player
trap 'kill "$first" 2>/dev/null || true; cleanup_processes' EXIT
window=$(find_window "$TITLE") || fail "no window in the settings folder"
mkdir -p "$work/other"
cp "$settings" "$work/other/"
start_player "$program" "$work/other"
other=$player
for _ in $(seq 150); do [[ $(windows | wc -l) == 2 ]] && break; sleep 0.1; done
other_window=$(windows | grep -vx "$window") || fail "no second window from another folder"
sleep 0.5
on_top() {
  stacking | grep -xE "$(printf '0x%x|0x%x' "$window" "$other_window")" | head -n1
}
[[ "$(($(on_top)))" == "$other_window" ]] || fail "the player in the other folder is not on top"
before=$(ls -l --time-style=full-iso "$work/run"; cat "$settings")
status=0
(cd "$work/run" && exec timeout 10 "$program") || status=$?
[[ "$status" == 0 ]] || fail "the second start in the folder ended with '$status'"
sleep 0.5
[[ "$(windows)" == "$(printf '%s\n' "$window" "$other_window" | sort)" ]] ||
  fail "windows after the second start: $(windows | tr '\n' ' ')"
[[ "$(($(on_top)))" == "$window" ]] || fail "the running player's window was not raised"
[[ "$(xdotool getwindowfocus)" == "$window" ]] || fail "the running player's window has no focus"
[[ "$(ls -l --time-style=full-iso "$work/run"; cat "$settings")" == "$before" ]] ||
  fail "the second start changed the settings folder"
close_window "$window"
close_window "$other_window"
wait_player
player=$first
wait_player
[[ "$player_status" == 0 ]] || fail "the first player ended with '$player_status'"
echo "a second start in the folder raised the running player; another folder ran beside it"
