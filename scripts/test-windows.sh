#!/usr/bin/env bash
# Cross-builds the Windows program and its tests with MinGW-w64 and runs the tests under Wine:
# a private Wine prefix in the build folder, a Japanese locale (ANSI code page 932), and a
# private desktop session (Xvfb and a sound server with a null sink) for the window and
# playback tests. Prints "windows: N passed, N failed, N skipped" and exits nonzero on failure.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
build=${TAV_WIN_BUILD_DIR:-$top/build/win}  # a fresh folder to try a first run
jobs=$(nproc)

# Packages, and the ja_JP.UTF-8 locale from which Wine takes code page 932.
scripts/install-deps.sh

export WINEPREFIX=$build/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

# TagLib for the tag plug-in, fetched and built once, then reused.
taglib=$(scripts/build-taglib-mingw.sh)

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DTAV_WINEPREFIX="$WINEPREFIX" -DTAV_TAGLIB_MINGW_DIR="$taglib" >/dev/null
cmake --build "$build" -j"$jobs"

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# Without a window manager, Wine waits two seconds for every window it hides unless its
# windows are unmanaged.
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
fi
# A program that crashes (Wine's MCI wave driver at times does at its close) ends with its
# backtrace on stderr, rather than in a crash dialog that waits for a click until the test's
# time runs out.
if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  wineserver -w
fi

results=$build/test-results
rm -rf "$results"
mkdir -p "$results"
export GTEST_OUTPUT="xml:$(winepath -w "$results")\\"

run_tests() {
  wineserver -p
  # Wine's service processes start with the first program and keep its output open: start
  # them here, or CTest would wait for them after the first test.
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  local status=0
  # One program at a time: two Wine programs starting together in a fresh prefix can leave
  # the second without a window driver.
  ctest --test-dir "$build" --output-on-failure || status=$?
  wineserver -k || true
  return $status
}
export -f run_tests
export build

status=0
scripts/with-audio-session.sh bash -c run_tests || status=$?
if ((status == 77)); then
  echo "No sound server here: the playback tests skip; running on a bare virtual display."
  status=0
  xvfb-run -a -s '-screen 0 1280x1024x24' bash -c run_tests || status=$?
fi

# Test cases of every program, from GoogleTest's reports.
python3 - "$results" <<'PY' || true
import glob, sys, xml.etree.ElementTree as ET
passed = failed = skipped = 0
for path in glob.glob(sys.argv[1] + "/*.xml"):
    # Failure messages may quote CP932 bytes, which are no UTF-8.
    with open(path, "rb") as report:
        root = ET.fromstring(report.read().decode("utf-8", "replace"))
    for case in root.iter("testcase"):
        if case.find("failure") is not None:
            failed += 1
        elif case.find("skipped") is not None or case.get("result") == "skipped":
            skipped += 1
        else:
            passed += 1
print(f"windows: {passed} passed, {failed} failed, {skipped} skipped")
PY
exit $status
