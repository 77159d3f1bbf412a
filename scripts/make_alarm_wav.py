#!/usr/bin/env python3
"""Writes sounds/alarm.wav: a soft three-note chime (about 1.6 s, 22.05 kHz, 16-bit mono)."""
import math
import struct
import sys
import wave

RATE = 22050
NOTES = [(0.00, 880.00), (0.22, 1108.73), (0.44, 1318.51)]  # A5, C#6, E6: an A major arpeggio
LENGTH = 1.6


def sample(t: float) -> float:
    value = 0.0
    for start, freq in NOTES:
        if t < start:
            continue
        age = t - start
        envelope = math.exp(-age * 3.2) * min(1.0, age / 0.004)
        # A bell: the fundamental with a quieter, faster-fading octave.
        value += envelope * (math.sin(2 * math.pi * freq * age)
                             + 0.3 * math.exp(-age * 6) * math.sin(4 * math.pi * freq * age))
    return value * 0.28


def main(path: str) -> None:
    frames = bytearray()
    for n in range(int(RATE * LENGTH)):
        t = n / RATE
        fade = min(1.0, (LENGTH - t) / 0.05)
        frames += struct.pack('<h', int(max(-1.0, min(1.0, sample(t) * fade)) * 32767))
    with wave.open(path, 'wb') as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'sounds/alarm.wav')
