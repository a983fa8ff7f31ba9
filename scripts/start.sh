#!/usr/bin/env bash
# Installs what is missing, builds the Linux player and starts it. The player keeps its
# settings (tavrello.ini) and the optional played-music log in its current directory, here
# run/ in the checkout. On the first start a demo collection is generated in run/demo and
# set as the root folder, so that Play plays at once.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "There is no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the player's"
  echo "window cannot open. To run it on a virtual display:"
  echo "  xvfb-run -a -s '-screen 0 1024x768x24' $0"
  exit 1
fi

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)" --target tavrello mp3infp

mkdir -p run
if [[ ! -f run/tavrello.ini ]]; then
  scripts/make-demo.sh "$top/run/demo"
  # Root folder, per-folder unit, no exclusion text, the window where the system puts it,
  # MP3 and WAV.
  printf '%s\r\n0\r\n\r\n000000,000000,000000,000000\r\n3\r\n' "$top/run/demo" > run/tavrello.ini
fi
cd run
exec "$top/build/release/bin/tavrello"
