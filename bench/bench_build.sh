# Sourced by the benchmark scripts. bench_build DIR TARGET...: configures DIR as a Release
# build when it is new, builds the targets and prints the folder's absolute path.
bench_build() {
  local build
  build=$(realpath -m "$1")
  shift
  if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
  cmake --build "$build" -j"$(nproc)" --target "$@" >/dev/null
  echo "$build"
}
