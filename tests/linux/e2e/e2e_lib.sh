# Shared steps of the end-to-end tests; sourced by the test scripts, which run inside
# scripts/with-audio-session.sh (a private PipeWire server with the null sink "tavtest" as
# default, and an Xvfb display).

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TITLE='Tavrello  Ver.1.06'
RATE=48000
recorder=""
player=""

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# begin_test PROGRAM WORK_DIR: sets $program and $work, the latter made anew with a run folder.
begin_test() {
  program=$(realpath "$1")
  work=$2
  rm -rf "$work"
  mkdir -p "$work/run"
}

# make_tone FILE FREQUENCY SECONDS: a sine at half of full level, starting and ending at it.
make_tone() {
  mkdir -p "$(dirname "$1")"
  sox -n -r "$RATE" -c 1 -b 16 "$1" synth "$3" sine "$2" vol 0.5
}

# make_tagged_piece SECONDS: the folder piece $work/music/piece, 01.mp3 tagged Sonata / Bach / Works and an untagged
# 02.wav, each a tone of SECONDS; needs the tag plug-in beside the program.
make_tagged_piece() {
  [[ -f "$(dirname "$program")/mp3infp.so" ]] || fail "no mp3infp.so beside $program"
  piece=$work/music/piece
  make_tone "$work/tone.wav" 440 "$1"
  mkdir -p "$piece"
  lame --quiet --add-id3v2 --tt Sonata --ta Bach --tl Works "$work/tone.wav" "$piece/01.mp3"
  make_tone "$piece/02.wav" 660 "$1"
}

# write_settings DIR ROOT: the player's settings file in DIR, naming ROOT as its folder, per
# folder, no exclusion, the window where it is created, MP3 and WAV.
write_settings() {
  printf '%s\r\n0\r\n\r\n000000,000000,000000,000000\r\n3\r\n' "$2" >"$1/tavrello.ini"
}

# start_recording FILE [SINK]: records the monitor of SINK (default: the null sink tavtest), mono
# 16-bit.
start_recording() {
  parec --latency-msec=20 -d "${2:-tavtest}.monitor" --format=s16le --rate="$RATE" --channels=1 \
    --raw >"$1" &
  recorder=$!
}

stop_recording() {
  kill "$recorder"
  wait "$recorder" 2>/dev/null || true
  recorder=""
}

# start_player PROGRAM DIR: the player with DIR as its current directory, and SIGINT handled
# as from a terminal (a job started with & would ignore it).
start_player() {
  (cd "$2" && exec env --default-signal=INT "$1") &
  player=$!
}

# wait_player: waits for the player to end (at most 10 s); its exit code lands in
# player_status ("timeout" when it did not end).
wait_player() {
  local i
  player_status=timeout
  for i in $(seq 100); do
    if ! kill -0 "$player" 2>/dev/null; then
      player_status=0
      wait "$player" || player_status=$?
      player=""
      return
    fi
    sleep 0.1
  done
}

# find_window TITLE: the id of the visible window with exactly that title (waits up to 15 s).
find_window() {
  local pattern
  pattern="^$(printf '%s' "$1" | sed 's/[.[\*^$()+?{|]/\\&/g')\$"
  timeout 15 xdotool search --sync --onlyvisible --name "$pattern" | head -n1
}

# click WINDOW X Y: a left click at client coordinates of the window.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

close_window() {
  python3 "$E2E_DIR/close_window.py" "$1"
}

cleanup_processes() {
  if [[ -n "$player" ]]; then
    kill "$player" 2>/dev/null || true
  fi
  if [[ -n "$recorder" ]]; then
    kill "$recorder" 2>/dev/null || true
  fi
}
trap cleanup_processes EXIT
