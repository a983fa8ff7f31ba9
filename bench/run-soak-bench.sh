#!/usr/bin/env bash
# Soak: the player plays many short files in order, in one private sound and display session
# (scripts/with-audio-session.sh). A third of the files are WAV, a third MP3 without a tag and
# a third MP3 with an ID3v1 tag in CP932 (Shift_JIS bytes), read by the real tag plug-in. Its
# resident memory, open descriptors and threads are sampled from /proc every second together
# with the files started so far (the lines of its played-music log); printed is their growth
# per 1,000 files, fitted over the samples after the first 100 files (goal: under 1 MB and 0
# descriptors per 1,000 files).
#
#   bench/run-soak-bench.sh [BUILD_DIR [FILES [SECONDS]]]
#       (default: build/release, 1200 files of 0.2 s)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if [[ -z "${TAV_IN_AUDIO_SESSION:-}" ]]; then
  source "$top/bench/bench_build.sh"
  build=$(bench_build "${1:-$top/build/release}" tavrello mp3infp)
  exec "$top/scripts/with-audio-session.sh" "$0" "$build" "${2:-1200}" "${3:-0.2}"
fi

build=$1
files=$2
seconds=$3
source "$top/tests/linux/e2e/e2e_lib.sh"
work=$(mktemp -d)
trap 'cleanup_processes; rm -rf "$work"' EXIT

# Folders of 100 files (a folder piece holds at most 256), played one after the other.
make_tone "$work/tone.wav" 440 "$seconds"
lame --quiet "$work/tone.wav" "$work/tone.mp3"
python3 - "$work" "$files" <<'PY'
import os
import sys

work, files = sys.argv[1], int(sys.argv[2])
wav = open(f"{work}/tone.wav", "rb").read()
mp3 = open(f"{work}/tone.mp3", "rb").read()

def id3v1(number):
    field = lambda text: text.encode("cp932").ljust(30, b"\0")
    return (b"TAG" + field(f"練習曲 第{number}番") + field("作曲者 不詳") + field("小品集")
            + b"2024" + field("") + b"\xff")

for number in range(files):
    folder = f"{work}/music/{number // 100:03d}"
    os.makedirs(folder, exist_ok=True)
    kind = number % 3
    data = wav if kind == 0 else mp3 if kind == 1 else mp3 + id3v1(number)
    with open(f"{folder}/{number % 100:02d}.{'wav' if kind == 0 else 'mp3'}", "wb") as out:
        out.write(data)
PY
mkdir -p "$work/run"
write_settings "$work/run" "$work/music"
log=$work/run/PlayedMusicList.out
: >"$log"

# sample: files started, resident kB, descriptors, threads of the player.
sample() {
  local rss threads
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$player/status")
  threads=$(awk '/^Threads:/ { print $2 }' "/proc/$player/status")
  echo "$(wc -l <"$log") $rss $(find "/proc/$player/fd" -mindepth 1 | wc -l) $threads"
}

start_player "$build/bin/tavrello" "$work/run"
window=$(find_window "$TITLE") || fail "no player window"
click "$window" 114 10  # Play
started=$(date +%s)
last=0
still=0
while :; do
  sleep 1
  kill -0 "$player" 2>/dev/null || {
    echo "the player ended after $last files" >&2
    break
  }
  line=$(sample)
  echo "$line" >>"$work/samples"
  count=${line%% *}
  ((count >= files)) && break
  # A player that starts no file for 10 s has gone silent: report what it reached.
  if ((count == last)); then
    ((++still < 10)) || {
      echo "the player started no file for 10 s after $count files" >&2
      break
    }
  else
    still=0
    last=$count
  fi
done
elapsed=$(($(date +%s) - started))
close_window "$window"
wait_player

python3 - "$work/samples" "$elapsed" "$player_status" "$seconds" "$log" <<'PY'
import sys

rows = [tuple(map(int, line.split())) for line in open(sys.argv[1])]
elapsed, status, seconds = int(sys.argv[2]), sys.argv[3], sys.argv[4]
# The log names a CP932-tagged file by its tag, decoded to UTF-8.
tagged = open(sys.argv[5], encoding="utf-8", errors="replace").read().count("練習曲")
rows = [row for row in rows if row[0] >= 100] or rows
print(f"The player on {rows[-1][0]} files of {seconds} s in order, {tagged} of them by their "
      f"CP932 tags ({elapsed} s; exit {status})")

def per_thousand(column):
    xs = [row[0] for row in rows]
    ys = [row[column] for row in rows]
    mean_x, mean_y = sum(xs) / len(xs), sum(ys) / len(ys)
    spread = sum((x - mean_x) ** 2 for x in xs)
    growth = sum((x - mean_x) * (y - mean_y) for x, y in zip(xs, ys)) / spread if spread else 0.0
    return round(growth * 1000, 2) + 0.0  # no "-0.00"

first, last = rows[0], rows[-1]
print(f"  from file {first[0]} to {last[0]}:")
print(f"  resident memory   {first[1] / 1024:7.1f} MB -> {last[1] / 1024:7.1f} MB   "
      f"{per_thousand(1) / 1024:+7.2f} MB per 1,000 files (goal: under 1 MB)")
print(f"  open descriptors  {first[2]:7d}    -> {last[2]:7d}      "
      f"{per_thousand(2):+7.1f} per 1,000 files (goal: 0)")
print(f"  threads           {first[3]:7d}    -> {last[3]:7d}      "
      f"{per_thousand(3):+7.1f} per 1,000 files")
PY
