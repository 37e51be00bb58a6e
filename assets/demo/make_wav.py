"""Writes brannok.wav for the demo product: a short 440 Hz tone that fades out, 8 kHz 8-bit
mono PCM, 3,228 samples (a 3,272-byte RIFF/WAVE file).

usage: python3 make_wav.py OUTPUT
"""

import math
import sys
import wave

RATE = 8000
SAMPLES = 3228


def main():
    frames = bytearray()
    for i in range(SAMPLES):
        fade = 1.0 - i / SAMPLES
        value = 128 + round(100 * fade * math.sin(2 * math.pi * 440 * i / RATE))
        frames.append(max(0, min(255, value)))
    with wave.open(sys.argv[1], "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(1)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


if __name__ == "__main__":
    main()
