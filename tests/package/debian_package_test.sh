#!/usr/bin/env bash
# The Debian package as a user gets it: built with CPack, checked by lintian (no errors),
# installed on this machine with apt-get, started from the menu's command on a virtual display
# in a scratch home, then removed, leaving none of its files behind. The launcher's folder rule
# is checked on the way: ~/.config/tavrello by default, $XDG_CONFIG_HOME/tavrello when set, the
# current folder when it holds tavrello.ini.
#
#   debian_package_test.sh BUILD_DIR     (as root or with sudo; needs a built BUILD_DIR)
set -euo pipefail
if [[ -z "${TAV_PACKAGE_TEST_DISPLAY:-}" ]]; then  # on a virtual display of its own
  TAV_PACKAGE_TEST_DISPLAY=1 exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$@"
fi
build=$(realpath "$1")
e2e=$(cd "$(dirname "$0")/../linux/e2e" && pwd)
title='Tavrello  Ver.1.06'
sudo=""
if (($(id -u) != 0)); then
  sudo="sudo"
fi
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if dpkg-query -W -f='${Status}' tavrello 2>/dev/null | grep -q "installed"; then
  fail "tavrello is installed on this machine already; remove it first (apt-get remove tavrello)"
fi

rm -rf "$build/packages"
log=$(cd "$build" && cpack -G DEB -B "$build/packages" 2>&1) || fail "cpack: $log"
package=$(echo "$build"/packages/tavrello_*.deb)
[[ -f "$package" ]] || fail "cpack made no package"
report=$(lintian --fail-on error "$package" 2>&1) || fail "lintian: $report"
grep -v 'root privileges' <<<"$report" || true

home=$(mktemp -d)
removed=false
remove() {
  $removed || $sudo dpkg --purge tavrello >/dev/null || true
  rm -rf "$home"
}
trap remove EXIT
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$package" >/dev/null
files=$(dpkg-query -L tavrello | while read -r path; do [[ -d "$path" ]] || echo "$path"; done)

# run_from FOLDER [VARIABLE=VALUE...]: starts the installed command in FOLDER with HOME set to
# the scratch home, waits for its window, checks the folder it runs in against $expected_folder
# and closes it; the settings file must then be there.
run_from() {
  local folder=$1 player window
  shift
  (cd "$folder" && exec env -u XDG_CONFIG_HOME HOME="$home" "$@" tavrello) &
  player=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" | head -n1) ||
    fail "no window titled '$title' (started in $folder)"
  [[ "$(readlink "/proc/$player/cwd")" == "$expected_folder" ]] ||
    fail "started in $folder with $*, it runs in $(readlink "/proc/$player/cwd"), not $expected_folder"
  python3 "$e2e/close_window.py" "$window"
  wait "$player" || fail "the program ended with $? (started in $folder)"
  [[ -f "$expected_folder/tavrello.ini" ]] || fail "no settings file in $expected_folder"
}

expected_folder=$home/.config/tavrello run_from "$home"
[[ $(stat -c %a "$home/.config/tavrello") == 700 ]] || fail "the settings folder is not private"
mkdir "$home/xdg"
expected_folder=$home/xdg/tavrello run_from "$home" XDG_CONFIG_HOME="$home/xdg"
mkdir "$home/here" && cp "$home/xdg/tavrello/tavrello.ini" "$home/here/"
expected_folder=$home/here run_from "$home/here"
[[ ! -e $home/tavrello.ini ]] || fail "a settings file in the home folder"
echo "installed, started and closed three times: $(wc -l <<<"$files") files"

$sudo dpkg --purge tavrello >/dev/null
removed=true
while read -r path; do
  [[ ! -e "$path" && ! -L "$path" ]] || fail "$path is left after removal"
done <<<"$files"
[[ ! -e /usr/lib/tavrello ]] || fail "/usr/lib/tavrello is left after removal"
echo "removed without a trace"
