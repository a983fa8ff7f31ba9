#!/usr/bin/env bash
# The real mp3infp.dll beside the real Tavrello.exe, under Wine in code page 932: played in list
# order, one file per entry, the files show these window titles in turn and give these lines in
# PlayedMusicList.out, in CP932: an ID3v1-only MP3, ID3v2.3 in UTF-16 (a character CP932 lacks
# becomes "?"), ID3v2.4 in UTF-8, Shift_JIS bytes in ID3v1, an MP3 without tags (its path, and
# no hint about a missing library), a WAV with RIFF INFO in UTF-8. First comes a file the library
# cannot read (an Ogg stream named .mp3): it plays, leaves the title as it is, is not logged.
# A second start in the same folder only hands over to the first.
# One WAV file, the last: Wine's WAV driver, unloaded when its device closes, at times crashes
# the process with its own playback thread still running.
#
#   tag_plugin_wine_test.sh PROGRAM DLL WORK_DIR WINE_COMMAND...   (in an audio session)
set -euo pipefail
if ! pactl info >/dev/null 2>&1; then
  echo "no sound server: the files cannot play"
  exit 77
fi
program=$1 dll=$2 work=$3
shift 3
wine=("$@")
e2e=$(cd "$(dirname "$0")/../linux/e2e" && pwd)
fixed='Tavrello  Ver.1.06'
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work/app" "$work/music"
cp "$program" "$dll" "$work/app/"
sox -n -r 44100 -c 1 -b 16 "$work/tone.wav" synth 2 sine 440 vol 0.3
lame --quiet -b 64 "$work/tone.wav" "$work/tone.mp3"
sox -n -r 44100 -c 1 "$work/music/1_unread.ogg" synth 3 sine 660 vol 0.3
mv "$work/music/1_unread.ogg" "$work/music/1_unread.mp3"

# The tags byte by byte, as the formats lay them out, so that no tag writer stands between the
# test and what the library reads.
python3 - "$work" <<'PY'
import struct, sys
work = sys.argv[1]
mp3 = open(work + "/tone.mp3", "rb").read()
wav = open(work + "/tone.wav", "rb").read()

def id3v1(title, artist):
    pad = lambda text: text + b"\0" * (30 - len(text))
    return b"TAG" + pad(title) + pad(artist) + pad(b"") + b"2026" + pad(b"") + b"\xff"

def id3v2(version, frames):  # bodies below 128 bytes: plain and sync-safe sizes agree
    body = b"".join(id + struct.pack(">I", len(data)) + b"\0\0" + data for id, data in frames)
    return b"ID3" + bytes([version, 0, 0]) + struct.pack(">I", len(body)) + body

def chunk(name, body):
    return name + struct.pack("<I", len(body)) + body + b"\0" * (len(body) % 2)

def utf16(text):
    return b"\1" + text.encode("utf-16")  # with its byte order mark

def with_info(wave, fields):
    info = chunk(b"LIST", b"INFO" + b"".join(chunk(id, text + b"\0") for id, text in fields))
    data = wave + info
    return data[:4] + struct.pack("<I", len(data) - 8) + data[8:]

files = {
    "2_v1.mp3": mp3 + id3v1(b"Morning", b"Alice"),
    "3_v23.mp3": id3v2(3, [(b"TIT2", utf16("テスト")), (b"TPE1", utf16("Café"))]) + mp3,
    "4_v24.mp3": id3v2(4, [(b"TIT2", b"\3" + "ミサ曲".encode()), (b"TPE1", b"\3Bach")]) + mp3,
    "5_sjis.mp3": mp3 + id3v1("日本の歌".encode("cp932"), "歌手".encode("cp932")),
    "6_plain.mp3": mp3,
    "7_info.wav": with_info(wav, [(b"INAM", b"Adagio"), (b"IART", "アルビノーニ".encode())]),
}
for name, data in files.items():
    open(work + "/music/" + name, "wb").write(data)
PY

music=$("${wine[@]}" winepath -w "$work/music" 2>/dev/null | tr -d '\r')
# Root folder, per file, no exclusion, the window where it is created, MP3 and WAV; in CP932.
printf '%s\r\n1\r\n\r\n000000,000000,000000,000000\r\n3\r\n' "$music" >"$work/app/Tavrello.ini"
: >"$work/app/PlayedMusicList.out"

player=""
trap '[[ -z $player ]] || kill $player 2>/dev/null || true' EXIT
cd "$work/app"
"${wine[@]}" Tavrello.exe </dev/null &
player=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$fixed\$" | head -n1) ||
  fail "no window titled '$fixed'"
# A second start in the folder hands over to the running player: it ends with 0, leaves one
# window and writes nothing.
cp Tavrello.ini before.ini
status=0
timeout 20 "${wine[@]}" Tavrello.exe </dev/null || status=$?
((status == 0)) || fail "a second Tavrello.exe in the folder ended with $status"
count=$(xdotool search --onlyvisible --name "^$fixed\$" | wc -l)
((count == 1)) || fail "$count windows after a second start in the folder"
cmp -s Tavrello.ini before.ini || fail "the second start rewrote Tavrello.ini"
# Play ("再生", client 114,10): Wine draws the caption and border inside the X window.
xdotool mousemove --window "$window" 118 36 click 1

# The unreadable file keeps the title for its three seconds, with no open-failure box; then
# the titles in turn, each new one as it appears, up to the WAV file's.
sleep 2
[[ "$(xdotool getwindowname "$window")" == "$fixed" ]] ||
  fail "the unreadable file changed the title to '$(xdotool getwindowname "$window")'"
if xdotool search --onlyvisible --name '^error$' >/dev/null; then
  fail "a message box captioned 'error' came up"
fi
expected_titles=("Morning - Alice" "テスト - Caf?" "ミサ曲 - Bach" "日本の歌 - 歌手"
  "$music\\6_plain.mp3" "Adagio / アルビノーニ")
titles=()
last=""
for _ in $(seq 300); do
  title=$(xdotool getwindowname "$window" 2>/dev/null) || break
  if [[ $title != "$last" && $title != "$fixed" ]]; then
    titles+=("$title")
  fi
  [[ $title != "${expected_titles[-1]}" ]] || break
  last=$title
  sleep 0.1
done
python3 "$e2e/close_window.py" "$window"
# A process that crashed waits in Wine's debugger: ended by the trap, not waited for.
for _ in $(seq 200); do
  kill -0 "$player" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$player" 2>/dev/null && fail "Tavrello.exe did not end within 20 s of its close"
status=0
wait "$player" || status=$?
player=""
((status == 0)) || fail "Tavrello.exe ended with $status"

[[ "${titles[*]}" == "${expected_titles[*]}" ]] ||
  fail "titles: $(printf '[%s] ' "${titles[@]}")"
expected_log=$(printf '%s\r\n' "Alice／Morning" "Caf?／テスト" "Bach／ミサ曲" "歌手／日本の歌" \
  "$music\\6_plain.mp3" "アルビノーニ／Adagio" | iconv -f UTF-8 -t CP932)
[[ "$(cat PlayedMusicList.out)" == "$expected_log" ]] ||
  fail "log: $(iconv -f CP932 -t UTF-8 <PlayedMusicList.out | tr '\r\n' '| ')"
echo "titles in turn: $(printf '[%s] ' "${titles[@]}"); log: ${#expected_titles[@]} lines in CP932"
