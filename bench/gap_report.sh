# Sourced by the playback benchmarks, which set $files (the files a piece plays) and $analyse
# (tests/linux/e2e/tone_analysis.py).

# report NAME RECORDING: the silences between the tones of a recording.
report() {
  python3 - "$1" "$files" $(python3 "$analyse" gaps "$2" "$RATE") <<'PY'
import statistics
import sys

name, files = sys.argv[1], int(sys.argv[2])
gaps = [int(gap) for gap in sys.argv[3:]]
# A change of file without any silence leaves no gap in the list: count it as 0 ms.
gaps += [0] * max(0, files - 1 - len(gaps))
print(f"  {name:<34} median {statistics.median(gaps):4.0f} ms   max {max(gaps, default=0):4d} ms"
      f"   ({len(gaps)} silences: {' '.join(map(str, gaps))})")
PY
}
