#!/usr/bin/env bash
# The built player driven by the keyboard alone and read as a screen reader reads it (AT-SPI):
# the window is a frame whose controls are named and read as the eye reads them; Tab visits
# them in that order and Shift+Tab goes back; Return in the list plays the selected entry;
# the position bar's arrows seek when let go, the time it says going on from there; the
# volume bar steps by a twentieth and a fifth and says its percentage; Return and Space press
# the focused button.
#
#   keyboard_a11y_e2e.sh TAVRELLO WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
begin_test "$1" "$2"

make_tone "$work/music/piece/01.wav" 440 40
write_settings "$work/run" "$work/music"

a11y() { /usr/bin/python3 "$E2E_DIR/a11y.py" "$@"; }
a11y start
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
LC_ALL= LANGUAGE= LANG=ja_JP.UTF-8 start_player "$program" "$work/run"  # its texts in Japanese
window=$(find_window "$TITLE") || fail "no window titled '$TITLE'"

# --- What a screen reader reads, in order.
expected_tree="frame|$TITLE
push button|ランダム再生
push button|再生
push button|停止
label|音量：
slider|音量
push button|前のファイル
push button|次のファイル
label|再生位置：
slider|再生位置
text|タイトル
text|アーティスト
text|アルバム
text|コメント
text|フォルダ
push button|フォルダ選択
label|MP3+WAV
push button|演奏対象
label|１曲 = 
combo box|フォルダ単位
label|（例外：
text|例外
label|を含むフォルダ）
list|曲の一覧
filler|"
tree=$(a11y tree)
[[ "$tree" == "$expected_tree" ]] ||
  fail "the accessible tree differs: $(diff <(echo "$expected_tree") <(echo "$tree") || true)"

# --- Tab round the window from the list, which has the focus at the start, and one step back.
xdotool windowfocus --sync "$window"
tab_order=("list|曲の一覧" "push button|ランダム再生" "push button|再生" "push button|停止" "slider|音量"
  "push button|前のファイル" "push button|次のファイル" "slider|再生位置" "text|タイトル"
  "text|アーティスト" "text|アルバム" "text|コメント" "text|フォルダ" "push button|フォルダ選択"
  "push button|演奏対象" "combo box|フォルダ単位" "text|例外" "list|曲の一覧")
visited=("$(a11y focused)")
for ((i = 1; i < ${#tab_order[@]}; i++)); do
  xdotool key Tab
  visited+=("$(a11y focused)")
done
[[ "${visited[*]}" == "${tab_order[*]}" ]] || fail "Tab visited: ${visited[*]}"
xdotool key shift+Tab
[[ $(a11y focused) == "text|例外" ]] || fail "Shift+Tab went to $(a11y focused)"

# focus_on ROLE_NAME: Tab until that control has the focus.
focus_on() {
  local i
  for i in $(seq ${#tab_order[@]}); do
    [[ $(a11y focused) == "$1" ]] && return 0
    xdotool key Tab
  done
  fail "Tab never reached $1"
}
# seconds: the position the position bar says ("0:00:07 / 0:00:40"), in seconds.
seconds() {
  local said h m s
  said=$(a11y value 再生位置)
  [[ "$said" =~ ^([0-9]+):([0-9]{2}):([0-9]{2})\ /\ 0:00:40$ ]] || fail "the position bar says '$said'"
  echo $((BASH_REMATCH[1] * 3600 + 10#${BASH_REMATCH[2]} * 60 + 10#${BASH_REMATCH[3]}))
}

# --- Space presses the focused Play button (the list fills), Return the Stop button.
playing="$work/music/piece/01.wav"
focus_on "push button|再生"
xdotool key space
find_window "$playing" >/dev/null || fail "Space on 再生 did not play"
focus_on "push button|停止"
xdotool key Return
find_window "$TITLE" >/dev/null || fail "Return on 停止 did not stop"

# --- Return in the list plays the selected entry.
focus_on "list|曲の一覧"
xdotool key Home Return
find_window "$playing" >/dev/null || fail "Return in the list played nothing"

# --- Two arrow presses on the position bar: 10 s on, and the time goes on from there.
focus_on "slider|再生位置"
before=$(seconds)
xdotool key Right Right
sleep 1.5
after=$(seconds)
((after >= before + 11 && after <= before + 13)) ||
  fail "from ${before} s two arrows and 1.5 s gave ${after} s"

# --- The volume bar: Home, an arrow (a twentieth) and a page down (a fifth).
focus_on "slider|音量"
xdotool key Home Right Next
[[ $(a11y value 音量) == "25%" ]] || fail "the volume bar says '$(a11y value 音量)' for 25%"

close_window "$window"
wait_player
[[ "$player_status" == 0 ]] || fail "the player ended with '$player_status' instead of 0"
echo "read in order, Tab round and back, list, position, volume and buttons by keys"
