#!/usr/bin/env bash
# Playback benchmarks of the Windows program under Wine, printed (never asserted), for the
# Media Foundation device and, with Media Foundation disabled, the MCI device, in one private
# sound and display session (scripts/with-audio-session.sh):
#   - the player on a folder piece of WAV files of distinct tones: for every file after the
#     first, its window-title change minus the onset of its tone on the null sink (goal: within
#     50 ms), and the silences between the files (goal: median 0 ms, at most 5 ms);
#   - the same piece as MP3 files made by lame: the same;
#   - how long each media-device call keeps its caller waiting (goal: at most 100 ms);
#   - CPU of the player's process while it plays a long MP3 (goal: Media Foundation no higher
#     than MCI).
#
#   bench/run-wine-playback-bench.sh [BUILD_DIR]   (default: build/win of scripts/test-windows.sh)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if [[ -z "${TAV_IN_AUDIO_SESSION:-}" ]]; then
  build=$(realpath -m "${1:-$top/build/win}")
  [[ -f $build/CMakeCache.txt && -f $build/wineprefix/system.reg ]] ||
    { echo "no Windows build with its Wine prefix in $build: run scripts/test-windows.sh" >&2; exit 1; }
  cmake --build "$build" -j2 --target Tavrello win32_device_calls >/dev/null
  exec "$top/scripts/with-audio-session.sh" "$0" "$build"
fi

build=$1
source "$top/tests/linux/e2e/e2e_lib.sh"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
analyse="$E2E_DIR/tone_analysis.py"
skew="python3 $top/bench/title_sound_skew.py"
work=$(mktemp -d)
trap 'cleanup_processes; wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
wine cmd /c exit >/dev/null 2>&1 </dev/null  # Wine's services, started once

files=8
tone_seconds=0.6
frequencies=()
for i in $(seq "$files"); do
  frequencies+=($((200 + 200 * i)))
  name=$(printf %02d "$i")
  make_tone "$work/music-wav/piece/$name.wav" "${frequencies[-1]}" "$tone_seconds"
  mkdir -p "$work/music-mp3/piece"
  lame --quiet -b 192 "$work/music-wav/piece/$name.wav" "$work/music-mp3/piece/$name.mp3"
done
mkdir -p "$work/app" "$work/music-long/long"
cp "$build/bin/Tavrello.exe" "$work/app/"
sox -n -r 44100 -c 2 -b 16 "$work/long.wav" synth 60 sine 440 vol 0.5
lame --quiet -b 192 "$work/long.wav" "$work/music-long/long/long.mp3"

# The Wine DLL overrides of each device: MCI is what the program falls back to without
# Media Foundation.
overrides() {
  [[ $1 == mf ]] && echo "mscoree,mshtml=" || echo "mscoree,mshtml=;mfplat=d"
}

# start_wine_player DEVICE ROOT: the program playing ROOT per folder, from its own folder.
start_wine_player() {
  local music
  music=$(winepath -w "$2" 2>/dev/null | tr -d '\r')
  printf '%s\r\n0\r\n\r\n000000,000000,000000,000000\r\n3\r\n' "$music" >"$work/app/Tavrello.ini"
  (cd "$work/app" && WINEDLLOVERRIDES=$(overrides "$1") exec wine Tavrello.exe </dev/null \
    >/dev/null 2>&1) &
  player=$!
}

# Play ("再生", client 114,10): Wine draws the caption and border inside the X window.
click_play() {
  xdotool mousemove --window "$1" 118 36 click 1
}

# end_wine_player WINDOW: closes the player; one that does not end (Wine's MCI wave driver at
# times crashes it, and the crash may wait in Wine's debugger) is killed, so that the next
# start is not handed over to it. One that crashed before has no window left to close.
end_wine_player() {
  close_window "$1" 2>/dev/null || echo "  (the player's window was gone: it crashed)"
  wait_player
  if [[ -n $player ]]; then
    echo "  (the player did not end: $player_status)"
    kill "$player" 2>/dev/null || true
    wait "$player" 2>/dev/null || true
    player=""
  fi
}

monotonic() {
  python3 -c 'import time; print(time.monotonic())'
}

source "$top/bench/gap_report.sh"

# record_player DEVICE KIND: the player plays the piece of KIND files; its title changes and
# the null sink are recorded.
record_player() {
  local prefix=$work/$1-$2 recording window spy played
  $skew record "$prefix" &
  recording=$!
  start_wine_player "$1" "$work/music-$2"
  window=$(find_window "$TITLE") || fail "no player window"
  $skew titles "$window" "$prefix.titles" &
  spy=$!
  for _ in $(seq 100); do
    [[ -s $prefix.titles ]] && break
    sleep 0.1
  done
  played=$(monotonic)
  click_play "$window"
  # Only the first pass over the piece counts: the list starts over after it.
  sleep "$(python3 -c "print($files * $tone_seconds + 1.0)")"
  end_wine_player "$window"
  kill "$spy" "$recording" 2>/dev/null || true
  wait "$spy" "$recording" 2>/dev/null || true
  $skew report "$prefix" "$prefix.titles" "$played" "$TITLE" "${frequencies[@]}"
  report "silences between its files" "$prefix.raw"
}

# cpu_ticks PID: user + system time of the process so far, in clock ticks.
cpu_ticks() {
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}

measure_load() {
  local window before after hz
  start_wine_player "$1" "$work/music-long"
  window=$(find_window "$TITLE") || fail "no player window"
  click_play "$window"
  sleep 3
  hz=$(getconf CLK_TCK)
  before=$(cpu_ticks "$player")
  sleep 10
  after=$(cpu_ticks "$player")
  echo "  playing a 192 kbit/s MP3: $(python3 -c "print(f'{($after - $before) / $hz / 10 * 100:.1f}')") % of one core (the program's process; wineserver not counted)"
  end_wine_player "$window"
}

for device in mf mci; do
  [[ $device == mf ]] && echo "=== Media Foundation device" || echo "=== MCI device (Media Foundation disabled)"
  echo "The player on a folder piece of $files WAV files of ${tone_seconds} s"
  record_player "$device" wav
  echo "The player on the same piece as MP3 files made by lame"
  record_player "$device" mp3
  echo "Time the caller waits in each media-device call (goal: at most 100 ms)"
  WINEDLLOVERRIDES=$(overrides "$device") wine "$build/bin/win32_device_calls.exe" "$device" \
    "$work"/music-wav/piece/*.wav "$work/music-mp3/piece/01.mp3" 2>/dev/null
  echo "The player's load"
  measure_load "$device"
  echo
done
