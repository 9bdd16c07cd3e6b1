#!/usr/bin/env python3
"""Generates Halvorsight's change sound.

Usage: gen_sound.py <outfile>

Writes one WAVE file (PCM, 16-bit, mono, 22050 Hz) and nothing else: a short,
soft two-note chime. Each note is a struck metal bar: a fundamental with two
weaker, inharmonic overtones, each dying away exponentially, the higher ones
faster. The notes fall a major third (B5, then G5). The result is
deterministic: pure arithmetic, no randomness.
"""

import math
import struct
import sys

RATE = 22050
DURATION = 0.90          # seconds
PEAK = 0.70              # of full scale, about -3 dBFS: no clipping
ATTACK = 0.006           # seconds, a gentle (raised-cosine) strike
FADE = 0.15              # seconds of fade-out at the end, so it ends in silence

# (start time s, frequency Hz, loudness)
NOTES = [(0.00, 987.77, 1.00), (0.22, 783.99, 0.95)]

# Partials of a struck bar: (frequency ratio, amplitude, decay time s).
PARTIALS = [(1.00, 1.00, 0.34), (2.00, 0.10, 0.20), (2.76, 0.22, 0.12), (5.40, 0.06, 0.05)]


def chime_samples():
    n = int(round(DURATION * RATE))
    out = [0.0] * n
    for start, freq, loud in NOTES:
        first = int(round(start * RATE))
        for i in range(first, n):
            t = (i - first) / RATE
            env = 1.0 if t >= ATTACK else 0.5 - 0.5 * math.cos(math.pi * t / ATTACK)
            v = 0.0
            for ratio, amp, decay in PARTIALS:
                v += amp * math.exp(-t / decay) * math.sin(2.0 * math.pi * freq * ratio * t)
            out[i] += loud * env * v
    fade_len = int(round(FADE * RATE))
    for k in range(fade_len):
        i = n - fade_len + k
        out[i] *= 0.5 + 0.5 * math.cos(math.pi * (k + 1) / fade_len)
    peak = max(abs(v) for v in out) or 1.0
    scale = PEAK * 32767.0 / peak
    return [int(round(v * scale)) for v in out]


def wave_file(samples, rate=RATE):
    data = struct.pack("<%dh" % len(samples), *samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    return (b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE"
            + b"fmt " + struct.pack("<I", len(fmt)) + fmt
            + b"data" + struct.pack("<I", len(data)) + data)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: gen_sound.py <outfile>\n")
        return 2
    with open(argv[1], "wb") as f:
        f.write(wave_file(chime_samples()))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
