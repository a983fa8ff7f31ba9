#!/usr/bin/env bash
# Cross-builds TagLib for the Windows tag plug-in (mp3infp.dll) from Debian's own source
# package: no MinGW-w64 TagLib package exists. The source is fetched with `apt-get source`
# through a private apt list of deb-src entries derived from this machine's apt sources, so
# apt checks the archive's signature and the files' checksums while the system's apt
# configuration stays untouched. Built static, without zlib, and installed into
# build/taglib-mingw/install (or $TAV_TAGLIB_MINGW_DIR/install); later runs reuse it as long
# as it is of the TagLib version the Linux plug-in is built on (libtag1-dev's source version).
# Prints the install folder; the version lands in its file VERSION, beside the licence texts.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
work=${TAV_TAGLIB_MINGW_DIR:-$top/build/taglib-mingw}
install=$work/install

version=$(dpkg-query -W -f='${source:Version}' libtag1-dev 2>/dev/null) ||
  { echo "libtag1-dev is not installed: run scripts/install-deps.sh" >&2; exit 1; }
if [[ -f $install/lib/libtag.a && -f $install/copyright &&
  "$(cat "$install/VERSION" 2>/dev/null)" == "$version" ]]; then
  echo "$install"
  exit 0
fi

apt=$work/apt
rm -rf "$apt" "$work/source" "$work/build" "$install"
mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache" "$work/source"

# deb-src twins of the enabled deb entries, in both list formats; apt reads only these names.
eval "$(apt-config shell etc Dir::Etc/d list Dir::Etc::sourcelist parts Dir::Etc::sourceparts)"
[[ $list == /* ]] || list=$etc/$list
[[ $parts == /* ]] || parts=$etc/$parts
python3 - "$apt" "$list" "$parts" <<'PY'
import glob, os, re, sys
out, list_file, parts = sys.argv[1:]
one_line = [list_file] + sorted(glob.glob(os.path.join(parts, "*.list")))
with open(os.path.join(out, "sources.list"), "w") as target:
    for path in filter(os.path.isfile, one_line):
        for line in open(path):
            if re.match(r"\s*deb\s", line):
                target.write(re.sub(r"^\s*deb\s", "deb-src ", line, count=1))
stanzas = []
for path in sorted(glob.glob(os.path.join(parts, "*.sources"))):
    for stanza in re.split(r"\n\s*\n", open(path).read()):
        lines = [l for l in stanza.splitlines() if l.strip() and not l.startswith("#")]
        fields = {l.split(":", 1)[0].lower(): l for l in lines if not l[0].isspace()}
        types = fields.get("types", ":").split(":", 1)[1].split()
        enabled = fields.get("enabled", "enabled: yes").split(":", 1)[1].strip().lower()
        if "deb" in types and enabled != "no":
            stanzas.append("\n".join("Types: deb-src" if l is fields["types"] else l
                                     for l in lines))
with open(os.path.join(out, "sources.list.d", "derived.sources"), "w") as target:
    target.write("\n\n".join(stanzas) + "\n")
PY

# Only the private lists: the system's lists and package caches are neither read nor written.
apt_options=(
  -o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
  -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
  -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
)
if [[ $(id -u) -eq 0 ]]; then
  # apt's download sandbox user may not reach a build folder inside a home folder.
  apt_options+=(-o APT::Sandbox::User=root)
fi
echo "Fetching Debian's source package taglib $version" >&2
apt-get "${apt_options[@]}" -q update >&2
(cd "$work/source" && apt-get "${apt_options[@]}" -q source "taglib=$version" >&2)
tree=$(find "$work/source" -mindepth 1 -maxdepth 1 -type d -name 'taglib-*' | head -n1)
[[ -n $tree ]] || { echo "apt-get source unpacked no taglib folder" >&2; exit 1; }

# Debian's patches take UTF8-CPP from libutfcpp-dev, header-only and so fit for any target.
cmake -S "$tree" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DWITH_ZLIB=OFF -DBUILD_TESTING=OFF \
  -DBUILD_EXAMPLES=OFF -DBUILD_BINDINGS=OFF -DVISIBILITY_HIDDEN=ON \
  -DCMAKE_INSTALL_PREFIX="$install" -DCMAKE_CXX_FLAGS="-isystem /usr/include/utf8cpp" >&2
cmake --build "$work/build" -j"$(nproc)" >&2
cmake --install "$work/build" >&2
# The licence texts and the copyright holders as the source package lists them, for the
# ZIP's notices.
cp "$tree/COPYING.LGPL" "$tree/COPYING.MPL" "$tree/debian/copyright" "$install/"
echo "$version" >"$install/VERSION"
echo "$install"
