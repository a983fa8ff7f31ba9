#!/usr/bin/env bash
# `cmake --install` into a scratch prefix lays out exactly the program beside its plug-in, the
# launcher, icons at their sizes, a valid desktop entry and valid AppStream metainfo whose
# newest release is the project's version. The program carries its English texts.
#
#   install_layout_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.tavrello.Tavrello
icons=share/icons/hicolor
expected="bin/tavrello
libexec/tavrello/mp3infp.so
libexec/tavrello/tavrello
share/applications/$id.desktop
share/doc/tavrello/changelog.gz
share/doc/tavrello/copyright
$icons/256x256/apps/$id.png
$icons/48x48/apps/$id.png
$icons/scalable/apps/$id.svg
share/man/man1/tavrello.1.gz
share/metainfo/$id.metainfo.xml"
installed=$(cd "$prefix" && find . -type f -printf '%P\n' | LC_ALL=C sort)
[[ "$installed" == "$expected" ]] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$installed"))"
[[ -x "$prefix/bin/tavrello" && -x "$prefix/libexec/tavrello/tavrello" ]] ||
  fail "the launcher or the program is not executable"

# Built in as Qt Linguist's UTF-16 (big-endian) strings.
strings -e b "$prefix/libexec/tavrello/tavrello" | grep -F "Choose the music folder" >/dev/null ||
  fail "the installed program has no English texts"

for size in 48 256; do
  file "$prefix/$icons/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size," ||
    fail "the ${size}x$size icon is $(file -b "$prefix/$icons/${size}x$size/apps/$id.png")"
done

# The validator exits with 0 on some errors: any remark counts.
remarks=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1) && [[ -z "$remarks" ]] ||
  fail "desktop entry: $remarks"
remarks=$(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" 2>&1) ||
  fail "metainfo: $remarks"
newest=$(grep -o -m1 '<release version="[^"]*"' "$prefix/share/metainfo/$id.metainfo.xml")
[[ "$newest" == "<release version=\"$version\"" ]] ||
  fail "the newest release in the metainfo is $newest, the project is at $version"
echo "install layout: $(wc -l <<<"$installed") files, desktop entry and metainfo valid"
