#!/usr/bin/env bash
# Playback benchmarks, printed (never asserted), all in one private sound and display session
# (scripts/with-audio-session.sh):
#   - the player on a folder piece of distinct tones: for every file after the first, the time
#     of its window-title change minus the onset of its tone on the null sink (goal: within
#     50 ms), and the silences between the files (goal: median 0 ms, at most 5 ms);
#   - the silence between two files of a piece for the media device alone (advancing as the
#     player does), and for reference a bare GStreamer playbin that goes back to NULL and
#     reloads at each end of stream;
#   - how long each media-device call keeps its caller (the UI thread) waiting (goal: at most
#     100 ms);
#   - CPU of the player while it plays a long MP3 with its display timer running (goal: at most
#     3 % of one core);
#   - wake-ups of the stopped player: context switches of all its threads over 5 s.
#
#   bench/run-playback-bench.sh [BUILD_DIR]    (default: build/release)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if [[ -z "${TAV_IN_AUDIO_SESSION:-}" ]]; then
  source "$top/bench/bench_build.sh"
  build=$(bench_build "${1:-$top/build/release}" tavrello playback_sequence)
  exec "$top/scripts/with-audio-session.sh" "$0" "$build"
fi

build=$1
source "$top/tests/linux/e2e/e2e_lib.sh"
analyse="$E2E_DIR/tone_analysis.py"
work=$(mktemp -d)
trap 'cleanup_processes; rm -rf "$work"' EXIT

files=8
tone_seconds=0.6
piece=$work/music/piece
# A pitch of its own for every file, so that each file's first sound can be told apart.
frequencies=()
for i in $(seq "$files"); do
  frequencies+=($((200 + 200 * i)))
  make_tone "$piece/$(printf %02d "$i").wav" "${frequencies[-1]}" "$tone_seconds"
done
skew="python3 $top/bench/title_sound_skew.py"

source "$top/bench/gap_report.sh"

# record_sequence MODE: the media device or the bare reload loop playing the piece's files.
record_sequence() {
  start_recording "$work/$1.raw"
  sleep 0.3
  "$build/bin/playback_sequence" "$1" "$piece"/*.wav
  sleep 0.3
  stop_recording
  report "$2" "$work/$1.raw"
}

monotonic() {
  python3 -c 'import time; print(time.monotonic())'
}

# record_player: the player plays the piece; its title changes and the null sink are recorded.
record_player() {
  mkdir -p "$work/run"
  write_settings "$work/run" "$work/music"
  $skew record "$work/player" &
  local recording=$! window spy played
  start_player "$build/bin/tavrello" "$work/run"
  window=$(find_window "$TITLE") || fail "no player window"
  $skew titles "$window" "$work/titles" &
  spy=$!
  # The spy prints the title it starts with: from then on it sees every change.
  for _ in $(seq 100); do
    [[ -s $work/titles ]] && break
    sleep 0.1
  done
  played=$(monotonic)
  click "$window" 114 10  # Play
  sleep "$(python3 -c "print($files * $tone_seconds + 1.5)")"
  close_window "$window"
  wait_player
  kill "$spy" "$recording" 2>/dev/null || true  # the title spy ends with the window
  wait "$spy" "$recording" 2>/dev/null || true
  $skew report "$work/player" "$work/titles" "$played" "$TITLE" "${frequencies[@]}"
  report "silences between its files" "$work/player.raw"
}

# time_device_calls: how long open, play, seek, stop and close take, file after file.
time_device_calls() {
  local mp3=$work/calls/tone.mp3
  mkdir -p "$work/calls"
  lame --quiet -b 192 "$piece/01.wav" "$mp3"
  "$build/bin/playback_sequence" calls "$piece"/*.wav "$mp3"
}

# cpu_ticks PID: user + system time of the process so far, in clock ticks.
cpu_ticks() {
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}

# context_switches PID: voluntary and involuntary switches of all its threads.
context_switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null |
    awk '/^(non)?voluntary_ctxt_switches/ { sum += $2 } END { print sum }'
}

measure_player_load() {
  local long=$work/long/long.mp3
  mkdir -p "$work/long" "$work/run-long"
  sox -n -r 44100 -c 2 -b 16 "$work/long.wav" synth 180 sine 440 vol 0.5
  lame --quiet -b 192 "$work/long.wav" "$long"
  write_settings "$work/run-long" "$work/long"

  start_player "$build/bin/tavrello" "$work/run-long"
  local window hz before after
  window=$(find_window "$TITLE") || fail "no player window"
  sleep 2
  before=$(context_switches "$player")
  sleep 5
  after=$(context_switches "$player")
  echo "  started, never played: $((after - before)) context switches in 5 s"

  click "$window" 114 10  # Play
  sleep 3
  hz=$(getconf CLK_TCK)
  before=$(cpu_ticks "$player")
  sleep 10
  after=$(cpu_ticks "$player")
  echo "  playing a 192 kbit/s MP3: $(python3 -c "print(f'{($after - $before) / $hz / 10 * 100:.1f}')") % of one core (goal: at most 3 %)"

  click "$window" 174 10  # Stop
  sleep 2
  before=$(context_switches "$player")
  sleep 5
  after=$(context_switches "$player")
  echo "  stopped after playing: $((after - before)) context switches in 5 s"
  close_window "$window"
  wait_player
}

echo "The player on a folder piece ($files files of ${tone_seconds} s)"
record_player
echo
echo "Silence between two files of a piece, for comparison"
record_sequence device "the media device alone"
record_sequence reload "bare playbin, NULL and reload"
echo
echo "Time the caller waits in each media-device call (goal: at most 100 ms)"
time_device_calls
echo
echo "The player's load"
measure_player_load
