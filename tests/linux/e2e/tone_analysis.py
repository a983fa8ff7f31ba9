#!/usr/bin/env python3
"""Reads a recording of tones (raw signed 16-bit little-endian mono) and tells what it hears.

  tone_analysis.py tones RECORDING RATE FREQUENCY...   the tones heard, in order, one a line
  tone_analysis.py gaps RECORDING RATE                 the silences between sounds, in ms
  tone_analysis.py sounds RECORDING RATE               each sound's length (ms) and pitch (Hz)

Tones are told apart by the Goertzel power at each candidate frequency over 50 ms windows;
silences are found in 1 ms windows, so gaps and lengths are exact to about a millisecond; a
pitch is counted from the sine's rising crossings.
"""
import array
import math
import sys

TONE_WINDOW_MS = 50
GAP_WINDOW_MS = 1
# Below this share of the recording's peak a window counts as silent.
SILENCE_SHARE = 0.125
# A tone must fill this many windows in a row to count (drops the edges between two tones).
MIN_TONE_WINDOWS = 3
# A silence shorter than this lies within one sound (a codec's dip), not between two.
MIN_GAP_MS = 30


def read_samples(path):
    samples = array.array("h")
    with open(path, "rb") as recording:
        samples.frombytes(recording.read())
    if sys.byteorder == "big":
        samples.byteswap()
    return samples


def windows(samples, rate, milliseconds):
    size = rate * milliseconds // 1000
    for start in range(0, len(samples) - size + 1, size):
        yield samples[start:start + size]


def goertzel_power(window, rate, frequency):
    coefficient = 2.0 * math.cos(2.0 * math.pi * frequency / rate)
    previous = before = 0.0
    for sample in window:
        previous, before = sample + coefficient * previous - before, previous
    return previous * previous + before * before - coefficient * previous * before


def silence_level(samples):
    return SILENCE_SHARE * max((abs(s) for s in samples), default=0)


def dominant_tones(samples, rate, frequencies):
    """The dominant candidate frequency of each window, None where it is silent."""
    level = silence_level(samples)
    result = []
    for window in windows(samples, rate, TONE_WINDOW_MS):
        if level == 0 or max(abs(s) for s in window) < level:
            result.append(None)
            continue
        powers = [(goertzel_power(window, rate, f), f) for f in frequencies]
        result.append(max(powers)[1])
    return result


def tone_sequence(samples, rate, frequencies):
    """The tones heard, in order: runs of at least MIN_TONE_WINDOWS windows of one tone."""
    sequence = []
    run_tone, run_length = None, 0
    for tone in dominant_tones(samples, rate, frequencies) + [None]:
        if tone == run_tone:
            run_length += 1
            continue
        if run_tone is not None and run_length >= MIN_TONE_WINDOWS:
            sequence.append(run_tone)
        run_tone, run_length = tone, 1
    return sequence


def gaps(samples, rate):
    """The silences between two sounds, in milliseconds (leading and trailing ones left out)."""
    level = silence_level(samples)
    loud = [max(abs(s) for s in w) >= level for w in windows(samples, rate, GAP_WINDOW_MS)]
    result = []
    heard, silent = False, 0
    for window_is_loud in loud:
        if not window_is_loud:
            silent += 1
            continue
        if heard and silent:
            result.append(silent * GAP_WINDOW_MS)
        heard, silent = True, 0
    return result


def loud_runs(samples, rate):
    """The sounds as (first, end) sample indices: loud 1 ms windows, short dips bridged."""
    level = silence_level(samples)
    size = rate * GAP_WINDOW_MS // 1000
    runs = []
    for index, window in enumerate(windows(samples, rate, GAP_WINDOW_MS)):
        if level == 0 or max(abs(s) for s in window) < level:
            continue
        start = index * size
        if runs and start - runs[-1][1] < MIN_GAP_MS * size // GAP_WINDOW_MS:
            runs[-1][1] = start + size
        else:
            runs.append([start, start + size])
    return runs


def pitch(samples, rate, level):
    """The frequency of a sine from its rising crossings (through -level to +level)."""
    crossings, low = [], False
    for index, sample in enumerate(samples):
        if sample < -level:
            low = True
        elif sample > level and low:
            crossings.append(index)
            low = False
    if len(crossings) < 2:
        return 0.0
    return (len(crossings) - 1) * rate / (crossings[-1] - crossings[0])


def sounds(samples, rate):
    """Each sound's length in milliseconds and its pitch in Hz."""
    level = silence_level(samples)
    return [((end - start) * 1000 // rate, pitch(samples[start:end], rate, level))
            for start, end in loud_runs(samples, rate)]


def main(arguments):
    if len(arguments) >= 3 and arguments[0] == "tones":
        samples = read_samples(arguments[1])
        frequencies = [float(f) for f in arguments[3:]]
        for tone in tone_sequence(samples, int(arguments[2]), frequencies):
            print(f"{tone:g}")
        return 0
    if len(arguments) == 3 and arguments[0] == "gaps":
        for gap in gaps(read_samples(arguments[1]), int(arguments[2])):
            print(gap)
        return 0
    if len(arguments) == 3 and arguments[0] == "sounds":
        for length, frequency in sounds(read_samples(arguments[1]), int(arguments[2])):
            print(f"{length} {frequency:.0f}")
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
