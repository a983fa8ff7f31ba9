#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) in their own build folder and
# runs each for the given number of seconds, printing executions and crashes.
#   bench/run-fuzz.sh SECONDS [TARGET...]
# TAV_FUZZ_RUNS=N stops a target after N executions when that comes first;
# TAV_FUZZ_BUILD names the build folder (default build/fuzz).
set -euo pipefail

if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAV_FUZZ_BUILD:-$root/build/fuzz}
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  targets=(settings_fuzz split_path_fuzz tag_plugin_fuzz)
fi

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null

# Allocation stacks unwound through TagLib (built without frame pointers) come out different
# every time, so recording them fills the sanitizer's stack store without end and slows every
# allocation: they are not recorded (a crash still shows its own stack). A small quarantine
# keeps the resident memory of long runs down.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:quarantine_size_mb=16}

runs_option=()
if [[ -n ${TAV_FUZZ_RUNS:-} ]]; then
  runs_option=(-runs="$TAV_FUZZ_RUNS")
fi

status=0
printf '%-18s %14s %9s %8s\n' target executions seconds crashes
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  crashes=$build/crashes/$target
  log=$build/$target.log
  mkdir -p "$corpus" "$crashes"
  start=$(date +%s)
  set +e
  "$build/$target" -max_total_time="$seconds" "${runs_option[@]}" -rss_limit_mb=8192 \
    -print_final_stats=1 \
    -artifact_prefix="$crashes/" "$corpus" "$root/fuzz/seeds/$target" >"$log" 2>&1
  result=$?
  set -e
  elapsed=$(($(date +%s) - start))
  executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
  found=$(find "$crashes" -type f | wc -l)
  printf '%-18s %14s %9s %8s\n' "$target" "${executions:-?}" "$elapsed" "$found"
  if [[ $result -ne 0 || $found -ne 0 ]]; then
    echo "  $target failed (exit $result); log: $log, inputs: $crashes" >&2
    status=1
  fi
done
exit $status
