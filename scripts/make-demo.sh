#!/usr/bin/env bash
# Generates a small demo collection in DIR, when DIR does not exist yet: three folders of short
# plucked melodies, MP3 and WAV, a few seconds each, with title, artist and album tags (ID3v2
# for MP3, a RIFF LIST INFO chunk for WAV), some with Japanese folder and file names.
#
#   scripts/make-demo.sh DIR
set -euo pipefail

if (($# != 1)); then
  echo "usage: $0 DIR" >&2
  exit 2
fi
target=$1
if [[ -e "$target" ]]; then
  echo "$target exists already; left as it is."
  exit 0
fi
for tool in sox lame python3; do
  command -v "$tool" >/dev/null || {
    echo "$0 needs $tool" >&2
    exit 1
  }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
demo=$work/demo
artist="Tavrello デモ"

# melody FILE SEMITONE...: half-second plucked notes, each SEMITONE counted from A (440 Hz).
melody() {
  local out=$1
  shift
  local notes=() semitone
  for semitone in "$@"; do
    notes+=("$work/note${#notes[@]}.wav")
    sox -n -r 44100 -c 2 -b 16 "${notes[-1]}" synth 0.5 pluck "%$semitone" fade 0 0.5 0.05
  done
  mkdir -p "$(dirname "$out")"
  sox "${notes[@]}" "$out"
  rm -f "${notes[@]}"
}

# mp3 FILE TITLE ALBUM SEMITONE...: an MP3 with ID3v2 tags (UTF-16 text).
mp3() {
  local file=$1 title=$2 album=$3
  shift 3
  melody "$work/source.wav" "$@"
  mkdir -p "$(dirname "$file")"
  LC_ALL=C.UTF-8 lame --quiet --id3v2-only --id3v2-utf16 \
    --tt "$title" --ta "$artist" --tl "$album" "$work/source.wav" "$file"
  rm -f "$work/source.wav"
}

# wav FILE TITLE ALBUM SEMITONE...: a WAV with a LIST INFO chunk (INAM, IART, IPRD) in CP932,
# as Japanese Windows programs write it.
wav() {
  local file=$1 title=$2 album=$3
  shift 3
  melody "$file" "$@"
  python3 - "$file" "$title" "$artist" "$album" <<'PY'
import struct
import sys

path, title, artist, album = sys.argv[1:5]


def field(tag, text):
    data = text.encode("cp932") + b"\0"
    if len(data) % 2:
        data += b"\0"
    return tag + struct.pack("<I", len(data)) + data


info = b"INFO" + field(b"INAM", title) + field(b"IART", artist) + field(b"IPRD", album)
with open(path, "r+b") as wave:
    wave.seek(0, 2)
    wave.write(b"LIST" + struct.pack("<I", len(info)) + info)
    size = wave.tell()
    wave.seek(4)
    wave.write(struct.pack("<I", size - 8))
PY
}

# A piece of three files, played one after another when the unit is per folder.
wav "$demo/Sonata in C/1 Allegro.wav" "Allegro" "Sonata in C" -9 -5 -2 3 -2 -5
mp3 "$demo/Sonata in C/2 Andante.mp3" "Andante" "Sonata in C" -9 -10 -12 -14 -12 -9
wav "$demo/Sonata in C/3 Presto.wav" "Presto" "Sonata in C" 3 7 10 15 10 3

mp3 "$demo/ピアノ曲/夜想曲.mp3" "夜想曲" "ピアノ曲" 0 3 7 12 7 3
mp3 "$demo/ピアノ曲/前奏曲.mp3" "前奏曲" "ピアノ曲" 5 9 12 17 12 9
wav "$demo/ピアノ曲/練習曲.wav" "練習曲" "ピアノ曲" -2 2 5 10 5 2

mp3 "$demo/Single tones/Bell.mp3" "Bell" "Single tones" 12 19 24 19 12 7
wav "$demo/Single tones/Low hum.wav" "Low hum" "Single tones" -24 -17 -12 -17 -24 -29

mkdir -p "$(dirname "$target")"
mv "$demo" "$target"
echo "Demo collection written to $target"
