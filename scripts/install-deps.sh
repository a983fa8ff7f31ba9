#!/usr/bin/env bash
# Installs the Debian 12 packages Tavrello needs to build, run and test, when they are missing.
# Idempotent: does nothing (and needs no network) when everything is there.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config python3 googletest libgtest-dev
  # Linux front end
  qt6-base-dev qt6-qpa-plugins libgl-dev fonts-noto-cjk
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good gstreamer1.0-tools libpulse-dev libtag1-dev
  libmpg123-dev
  # the window's English texts: Qt Linguist's tools and their CMake functions
  qt6-l10n-tools qt6-tools-dev
  # the tag plug-in: the encoding of legacy tag texts
  libuchardet-dev
  # WAV files in IMA or Microsoft ADPCM or GSM 6.10, as Windows' codecs wrote them
  gstreamer1.0-plugins-bad
  # tests: a virtual display, a private sound server, audio tools, the Windows build
  xvfb xauth xdotool x11-utils imagemagick
  pipewire pipewire-bin wireplumber pipewire-pulse pulseaudio-utils dbus dbus-user-session
  sox lame ffmpeg
  g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 locales
  # the Windows tag plug-in: TagLib built from Debian's source package needs UTF8-CPP
  libutfcpp-dev
  # packaging: icons, the Debian package and its checks, the Windows ZIP's test
  librsvg2-bin dpkg-dev file desktop-file-utils appstream lintian unzip
  # desktop integration: Qt's own translations, the desktop's own dialogs; the media-controls test
  qt6-translations-l10n qt6-gtk-platformtheme qt6-xdgdesktopportal-platformtheme
  playerctl dbus-bin
  # the screen-reader test: the accessibility bus and its Python client
  at-spi2-core python3-pyatspi
)
if [[ "${1:-}" == "--with-fuzz" ]]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives code page 932. The tag
# plug-in's tests read legacy tag texts, and the window test shows its texts, in a Japanese and
# a German locale.
for name in ja_JP de_DE; do
  if ! locale -a 2>/dev/null | grep -qi "^$name\.utf8\$"; then
    $sudo sed -i "s/^# *$name.UTF-8 UTF-8/$name.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^$name.UTF-8 UTF-8" /etc/locale.gen || echo "$name.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi
done
