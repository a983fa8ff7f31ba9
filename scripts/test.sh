#!/usr/bin/env bash
# Builds and runs every test: the Linux Release build with all its tests (core, Qt window,
# GStreamer device, tag plug-in, end-to-end under Xvfb with a private PipeWire server), the
# whole Linux program again under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer
# with the same tests, the Debian package installed on this machine, started and removed, and
# the Windows build cross-compiled with MinGW-w64 with its tests (and its ZIP) under Wine.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1

jobs=$(nproc)
failed=()

step() {
  local name=$1
  shift
  echo
  echo "=== $name"
  if ! "$@"; then
    failed+=("$name")
  fi
}

linux_release() {
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build build/release -j"$jobs" &&
    ctest --test-dir build/release --output-on-failure
}

# Built at -O1 to keep the step short. A leak, an invalid access or undefined behaviour fails
# the test whose program has it: in the end-to-end tests through the player's exit code. The
# only leaks suppressed are system libraries' (lsan.supp); GLib's slice allocator is bypassed
# so that ASan sees GLib's and GStreamer's blocks.
linux_sanitized() {
  cmake -S . -B build/asan-full -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DTAV_SANITIZE=ON \
    >/dev/null &&
    cmake --build build/asan-full -j"$jobs" &&
    # The slow unwinder: Debian's GLib has no frame pointers, and the fast one stops there,
    # which leaves a leak's stack without the frames a suppression or a reader needs.
    ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0 UBSAN_OPTIONS=print_stacktrace=1 \
      G_SLICE=always-malloc \
      LSAN_OPTIONS=suppressions=$PWD/scripts/sanitizers/lsan.supp:print_suppressions=0 \
      ctest --test-dir build/asan-full --output-on-failure -E '^install_layout$'
}

step "Core folders include one way" scripts/check-layers.sh
step "Linux Release build and tests" linux_release
step "Linux program and its tests under ASan, LSan and UBSan" linux_sanitized
step "Debian package: build, install, start, remove" tests/package/debian_package_test.sh build/release
step "Windows build and tests under Wine" scripts/test-windows.sh

echo
if ((${#failed[@]})); then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
echo "All test steps passed."
