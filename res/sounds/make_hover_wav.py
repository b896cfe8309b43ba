#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes hover.wav, the short tick the command buttons play when the pointer enters them.

A soft two-tone blip: 110 ms, 22050 Hz, 16-bit mono (about 5 KB), a 3 ms rise and a fast
fall so that it never clicks. Run once; the result is committed and compiled into the
program.
"""
import math
import struct
import wave

RATE = 22050
LENGTH = 0.110
ATTACK = 0.003

frames = bytearray()
for n in range(int(RATE * LENGTH)):
    t = n / RATE
    rise = min(1.0, t / ATTACK)
    fall = math.exp(-t / 0.028)
    tone = 0.75 * math.sin(2 * math.pi * 1568 * t) + 0.25 * math.sin(2 * math.pi * 2352 * t)
    frames += struct.pack("<h", int(0.45 * 32767 * rise * fall * tone))

with wave.open("hover.wav", "wb") as out:
    out.setnchannels(1)
    out.setsampwidth(2)
    out.setframerate(RATE)
    out.writeframes(bytes(frames))
