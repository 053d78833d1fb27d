#!/usr/bin/env python3
"""Writes the alarm sounds data/alert1.wav .. data/alert9.wav.

Nine short tones, each recognisable on its own: chimes, bells, beeps and a
sweep, built from sine partials with soft attack and decay (no clicks).
Mono, 16-bit, 22050 Hz. Run from the source tree: scripts/make-alert-sounds.py
"""
import math
import os
import struct
import wave

RATE = 22050
NOTE = {"C5": 523.25, "D5": 587.33, "E5": 659.25, "F5": 698.46, "G5": 783.99,
        "A5": 880.00, "B5": 987.77, "C6": 1046.50, "E6": 1318.51, "G6": 1567.98}


def bell(freq, length, decay=4.0, partials=((1.0, 1.0), (2.0, 0.35), (3.0, 0.15))):
    """A struck tone: a few harmonics fading exponentially."""
    samples = []
    n = int(RATE * length)
    for i in range(n):
        t = i / RATE
        attack = min(1.0, t / 0.008)
        env = attack * math.exp(-decay * t)
        value = sum(a * math.sin(2 * math.pi * freq * k * t) for k, a in partials)
        samples.append(env * value / sum(a for _, a in partials))
    return samples


def beep(freq, length):
    """A plain tone with short ramps at both ends."""
    n = int(RATE * length)
    ramp = int(RATE * 0.01)
    out = []
    for i in range(n):
        env = min(1.0, i / ramp, (n - i) / ramp)
        out.append(env * math.sin(2 * math.pi * freq * i / RATE))
    return out


def sweep(f0, f1, length):
    n = int(RATE * length)
    ramp = int(RATE * 0.02)
    out = []
    phase = 0.0
    for i in range(n):
        f = f0 + (f1 - f0) * i / n
        phase += 2 * math.pi * f / RATE
        env = min(1.0, i / ramp, (n - i) / ramp)
        out.append(env * (0.8 * math.sin(phase) + 0.2 * math.sin(2 * phase)))
    return out


def silence(length):
    return [0.0] * int(RATE * length)


def sequence(*parts):
    out = []
    for p in parts:
        out.extend(p)
    return out


def mix(a, b):
    n = max(len(a), len(b))
    a = a + [0.0] * (n - len(a))
    b = b + [0.0] * (n - len(b))
    return [(x + y) / 2 for x, y in zip(a, b)]


SOUNDS = {
    1: lambda: sequence(bell(NOTE["C5"], 0.35), bell(NOTE["E5"], 0.6)),
    2: lambda: sequence(bell(NOTE["G5"], 0.35), bell(NOTE["C5"], 0.6)),
    3: lambda: sequence(bell(NOTE["C5"], 0.18, 6), bell(NOTE["E5"], 0.18, 6),
                        bell(NOTE["G5"], 0.18, 6), bell(NOTE["C6"], 0.5, 5)),
    4: lambda: sequence(bell(NOTE["E5"], 0.3, 5), bell(NOTE["C5"], 0.3, 5),
                        bell(NOTE["D5"], 0.3, 5), bell(NOTE["G5"] / 2, 0.6, 4)),
    5: lambda: bell(NOTE["A5"], 1.0, 3.0, ((1.0, 1.0), (2.76, 0.4), (5.4, 0.2))),
    6: lambda: sequence(beep(1000, 0.12), silence(0.08), beep(1000, 0.12), silence(0.2),
                        beep(1000, 0.12), silence(0.08), beep(1000, 0.12)),
    7: lambda: sequence(sweep(600, 1200, 0.45), sweep(600, 1200, 0.45)),
    8: lambda: sequence(bell(NOTE["G6"], 0.2, 6), bell(NOTE["E6"], 0.2, 6),
                        bell(NOTE["C6"], 0.5, 5)),
    9: lambda: mix(bell(NOTE["E6"], 0.45, 7), bell(NOTE["B5"], 0.45, 7)),
}


def write(path, samples, volume=0.6):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * volume * 32767))
                               for s in samples))


def main():
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
    for number, make in SOUNDS.items():
        write(os.path.join(data, "alert%d.wav" % number), make())


if __name__ == "__main__":
    main()
