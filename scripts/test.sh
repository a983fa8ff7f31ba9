#!/usr/bin/env bash
# Builds and runs every test: the Linux Release build with all its tests (core, Qt window,
# GStreamer device, tag plug-in, end-to-end under Xvfb with a private PipeWire server), the
# core tests again under AddressSanitizer and UndefinedBehaviorSanitizer, the Debian package
# installed on this machine, started and removed, and the Windows build cross-compiled with
# MinGW-w64 with its tests (and its ZIP) under Wine.
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

core_sanitized() {
  cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DTAV_CORE_ONLY=ON -DTAV_SANITIZE=ON >/dev/null &&
    cmake --build build/asan -j"$jobs" &&
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --test-dir build/asan --output-on-failure
}

step "Core folders include one way" scripts/check-layers.sh
step "Linux Release build and tests" linux_release
step "Core tests under ASan and UBSan" core_sanitized
step "Debian package: build, install, start, remove" tests/package/debian_package_test.sh build/release
step "Windows build and tests under Wine" scripts/test-windows.sh

echo
if ((${#failed[@]})); then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
echo "All test steps passed."
