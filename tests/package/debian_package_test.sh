#!/usr/bin/env bash
# The Debian package as a user gets it: built as the README says (Release, with the hardening
# flags of dpkg-buildflags, in BUILD_DIR/deb-package) and packed with CPack, lintian --pedantic
# clean, installed on this machine with apt-get, started from the menu's command on a virtual
# display in a scratch home, then removed, leaving none of its files behind. The launcher's
# folder rule is checked on the way: ~/.config/tavrello by default and when XDG_CONFIG_HOME is
# relative (which the program must not see), $XDG_CONFIG_HOME/tavrello when set, the current
# folder when it holds tavrello.ini.
#
#   debian_package_test.sh BUILD_DIR     (as root or with sudo)
set -euo pipefail
if [[ -z "${TAV_PACKAGE_TEST_DISPLAY:-}" ]]; then  # on a virtual display of its own
  TAV_PACKAGE_TEST_DISPLAY=1 exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$@"
fi
build=$(realpath "$1")/deb-package
source=$(cd "$(dirname "$0")/../.." && pwd)
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

# All of Debian's hardening (bind-now is not on by default). CMake reads no CPPFLAGS: the
# preprocessor's flags (_FORTIFY_SOURCE) go with the compiler's. A fresh build: CMake takes
# these variables only when it first configures a build.
rm -rf "$build"
log=$(
  cd "$source"
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  export CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAV_BUILD_TESTS=OFF 2>&1 &&
    cmake --build "$build" -j"$(nproc)" 2>&1
) || fail "package build: $log"
rm -rf "$build/packages"
log=$(cd "$build" && cpack -G DEB -B "$build/packages" 2>&1) || fail "cpack: $log"
package=$(echo "$build"/packages/tavrello_*.deb)
[[ -f "$package" ]] || fail "cpack made no package"
report=$(lintian --pedantic --fail-on error,warning,pedantic "$package" 2>&1 |
  { grep -v 'root privileges' || true; }) || fail "lintian: $report"
[[ -z "$report" ]] || echo "$report"

home=$(mktemp -d)
removed=false
remove() {
  $removed || $sudo dpkg --purge tavrello >/dev/null || true
  rm -rf "$home"
}
trap remove EXIT
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$package" >/dev/null
program=/usr/libexec/tavrello/tavrello
# grep reads all (no -q): readelf must not end on a broken pipe.
readelf -d "$program" | grep 'FLAGS.*NOW' >/dev/null || fail "the program is not linked with -z now"
readelf --dyn-syms -W "$program" | grep ' __[a-z_]*_chk@' >/dev/null || fail "no fortified calls"
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
  ! tr '\0' '\n' <"/proc/$player/environ" | grep -q '^XDG_CONFIG_HOME=[^/]' ||
    fail "started with $*, the program got a relative XDG_CONFIG_HOME"
  python3 "$e2e/close_window.py" "$window"
  wait "$player" || fail "the program ended with $? (started in $folder)"
  [[ -f "$expected_folder/tavrello.ini" ]] || fail "no settings file in $expected_folder"
}

expected_folder=$home/.config/tavrello run_from "$home"
[[ $(stat -c %a "$home/.config/tavrello") == 700 ]] || fail "the settings folder is not private"
mkdir "$home/xdg"
expected_folder=$home/.config/tavrello run_from "$home" XDG_CONFIG_HOME=xdg
expected_folder=$home/xdg/tavrello run_from "$home" XDG_CONFIG_HOME="$home/xdg"
mkdir "$home/here" && cp "$home/xdg/tavrello/tavrello.ini" "$home/here/"
expected_folder=$home/here run_from "$home/here"
[[ ! -e $home/tavrello.ini ]] || fail "a settings file in the home folder"
echo "installed, started and closed four times: $(wc -l <<<"$files") files"

$sudo dpkg --purge tavrello >/dev/null
removed=true
while read -r path; do
  [[ ! -e "$path" && ! -L "$path" ]] || fail "$path is left after removal"
done <<<"$files"
[[ ! -e /usr/libexec/tavrello ]] || fail "/usr/libexec/tavrello is left after removal"
echo "removed without a trace"
