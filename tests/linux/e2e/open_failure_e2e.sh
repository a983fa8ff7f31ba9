#!/usr/bin/env bash
# Files the player cannot decode (random bytes named .mp3, a zero-byte .wav) make Play show the
# open-failure message box, captioned "Error" in a German locale and "error" in a Japanese one;
# it goes away with Return, and the player then closes normally with exit code 0.
#
#   open_failure_e2e.sh TAVRELLO WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
begin_test "$1" "$2"

# try_file NAME LOCALE CAPTION MAKE...: a folder holding only NAME, made by the command
# MAKE NAME; the player started in LOCALE.
try_file() {
  local name=$1 locale=$2 caption=$3
  shift 3
  local case_dir=$work/${name%.*}
  mkdir -p "$case_dir/run" "$case_dir/music/bad"
  "$@" "$case_dir/music/bad/$name"
  write_settings "$case_dir/run" "$case_dir/music"

  LC_ALL= LANGUAGE= LANG=$locale start_player "$program" "$case_dir/run"
  local window box
  window=$(find_window "$TITLE") || fail "$name: no window titled '$TITLE'"
  click "$window" 114 10  # Play
  box=$(find_window "$caption") || fail "$name: no message box captioned '$caption'"
  # xdotool's search ignores case.
  [[ $(xdotool getwindowname "$box") == "$caption" ]] ||
    fail "$name: the message box is captioned '$(xdotool getwindowname "$box")', not '$caption'"
  # Sent to the focus: keys sent to one window with XSendEvent are refused here.
  xdotool windowfocus --sync "$box" key Return
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "^$caption\$" >/dev/null || break
    sleep 0.1
  done
  xdotool search --onlyvisible --name "^$caption\$" >/dev/null && fail "$name: the message box stayed"
  close_window "$window"
  wait_player
  [[ "$player_status" == 0 ]] || fail "$name: the player ended with '$player_status', not 0"
  echo "$name: open failure shown in $locale and dismissed, clean exit"
}

random_bytes() {
  python3 -c 'import random, sys; sys.stdout.buffer.write(random.Random(7).randbytes(65536))' >"$1"
}

empty_file() {
  : >"$1"
}

try_file corrupt.mp3 de_DE.UTF-8 Error random_bytes
try_file empty.wav ja_JP.UTF-8 error empty_file
