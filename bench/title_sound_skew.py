#!/usr/bin/env python3
"""Measures how far each window-title change lies from the first sound of the file it names.

  title_sound_skew.py record PREFIX          records the null sink's monitor into PREFIX.raw
                                             (mono s16le, 48 kHz) and the arrival time of
                                             every chunk into PREFIX.times, until killed
  title_sound_skew.py titles WINDOW FILE     writes the time and text of every title change of
                                             the X window WINDOW into FILE, until killed
  title_sound_skew.py report PREFIX TITLES PLAY_TIME IDLE_TITLE FREQUENCY...
                                             pairs the title changes after PLAY_TIME (to any
                                             title but IDLE_TITLE) with the onsets of the
                                             tones, one tone per file in order

All times are CLOCK_MONOTONIC seconds, shared by the processes. A sample is placed in time by
the lower envelope of (arrival time - samples before it / rate): the chunk that arrived
soonest after the null sink played its last sample. Tone onsets are found in 10 ms windows
moved by 1 ms, so a skew is exact to a few milliseconds.
"""
import cmath
import math
import os
import signal
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "linux", "e2e"))
from tone_analysis import read_samples  # noqa: E402  (one reader of a recording)

RATE = 48000
BLOCK = RATE // 1000  # 1 ms
WINDOW_BLOCKS = 10


def stop_on_term():
    # Background jobs of a script ignore SIGINT: the benchmark ends these with SIGTERM.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))


def record(prefix):
    stop_on_term()
    recorder = subprocess.Popen(
        ["parec", "--latency-msec=5", "-d", "tavtest.monitor", "--format=s16le",
         f"--rate={RATE}", "--channels=1", "--raw"], stdout=subprocess.PIPE)
    total = 0
    with open(prefix + ".raw", "wb") as raw, open(prefix + ".times", "w") as times:
        try:
            while True:
                chunk = os.read(recorder.stdout.fileno(), 65536)
                now = time.monotonic()
                if not chunk:
                    break
                raw.write(chunk)
                total += len(chunk)
                times.write(f"{now:.6f} {total // 2}\n")
        finally:
            recorder.terminate()


def titles(window, path):
    stop_on_term()
    spy = subprocess.Popen(["stdbuf", "-oL", "xprop", "-spy", "-id", window, "_NET_WM_NAME"],
                           stdout=subprocess.PIPE, text=True)
    with open(path, "w") as out:
        try:
            for line in spy.stdout:
                out.write(f"{time.monotonic():.6f} {line.strip()}\n")
                out.flush()
        finally:
            spy.terminate()


def sample_zero_time(path):
    """The time the null sink played sample 0."""
    best = math.inf
    with open(path) as times:
        for line in times:
            arrived, count = line.split()
            best = min(best, float(arrived) - int(count) / RATE)
    return best


def block_sums(samples, frequency):
    """The tone's complex amplitude in every 1 ms block, in absolute phase."""
    step = cmath.exp(-2j * math.pi * frequency / RATE)
    sums = []
    for start in range(0, len(samples) - BLOCK + 1, BLOCK):
        rotor = step ** start
        total = 0j
        for sample in samples[start:start + BLOCK]:
            total += sample * rotor
            rotor *= step
        sums.append(total)
    return sums


def window_powers(sums):
    """Power in windows of WINDOW_BLOCKS blocks, indexed by the block at the window's centre."""
    powers = [0.0] * len(sums)
    for first in range(len(sums) - WINDOW_BLOCKS + 1):
        powers[first + WINDOW_BLOCKS // 2] = abs(sum(sums[first:first + WINDOW_BLOCKS])) ** 2
    return powers


def onsets(samples, frequencies):
    """The millisecond at which each tone takes over from the one before it (None: not heard)."""
    level = max((abs(s) for s in samples), default=0) * 0.125
    loud = [max(abs(s) for s in samples[i:i + BLOCK]) >= level
            for i in range(0, len(samples) - BLOCK + 1, BLOCK)]
    powers = [window_powers(block_sums(samples, f)) for f in frequencies]
    found, at = [], 0
    for tone, power in enumerate(powers):
        others = [p for other, p in enumerate(powers) if other != tone]
        onset = next((ms for ms in range(at, len(power))
                      if loud[ms] and all(power[ms] > p[ms] for p in others)), None)
        found.append(onset)
        if onset is not None:
            at = onset + 1
    return found


def report(prefix, titles_path, play_time, idle_title, frequencies):
    zero = sample_zero_time(prefix + ".times")
    heard = onsets(read_samples(prefix + ".raw"), frequencies)
    changes = []
    with open(titles_path) as lines:
        for line in lines:
            stamp, text = line.split(" ", 1)
            if (float(stamp) >= play_time and f'"{idle_title}"' not in text and
                    (not changes or changes[-1][1] != text)):
                changes.append((float(stamp), text))
    skews = []
    for number, (onset, change) in enumerate(zip(heard[1:], changes[1:]), start=2):
        if onset is None:
            print(f"  file {number}: its tone was not heard")
            continue
        skews.append(round((change[0] - (zero + onset / 1000)) * 1000))
    if len(changes) < len(frequencies):
        print(f"  only {len(changes)} title changes for {len(frequencies)} files")
    if not skews:
        print("  no file after the first to measure")
        return 1
    print(f"  title change minus first sound, files 2..{len(skews) + 1} (goal: within 50 ms):"
          f" median {statistics.median(skews):+.0f} ms, worst {max(skews, key=abs):+d} ms"
          f"   ({' '.join(f'{s:+d}' for s in skews)})")
    return 0


def main(arguments):
    if len(arguments) == 2 and arguments[0] == "record":
        record(arguments[1])
        return 0
    if len(arguments) == 3 and arguments[0] == "titles":
        titles(arguments[1], arguments[2])
        return 0
    if len(arguments) >= 6 and arguments[0] == "report":
        return report(arguments[1], arguments[2], float(arguments[3]), arguments[4],
                      [float(f) for f in arguments[5:]])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
