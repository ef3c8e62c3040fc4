#!/usr/bin/env python3
# Prints the run table of core/case_fold.cpp from Python's Unicode data: a character's simple case
# folding is its one-character casefold(), else its one-character lower(), else itself.
import sys
# simple case folding: one-char casefold, else one-char lower, else itself
m = {}
for c in range(0x110000):
    if 0xD800 <= c < 0xE000: continue
    ch = chr(c)
    f = ch.casefold()
    if len(f) != 1:
        f = ch.lower()
        if len(f) != 1: f = ch
    if ord(f) != c: m[c] = ord(f)
# exceptions: U+0130 simple fold none; U+1E9E -> U+00DF

# runs: (first, last, delta, stride)
items = sorted(m.items())
runs = []
for c, f in items:
    d = f - c
    if runs:
        first, last, delta, stride = runs[-1]
        if delta == d and stride in (0, c - last) and c - last in (1, 2):
            runs[-1] = (first, c, delta, c - last); continue
    runs.append((c, c, d, 0))

out = []
for first, last, delta, stride in runs:
    out.append("{0x%04X, 0x%04X, %d, %d}," % (first, last, delta, max(stride,1)))
line = "    "
lines = []
for e in out:
    if len(line) + len(e) + 1 > 100:
        lines.append(line.rstrip()); line = "    "
    line += e + " "
lines.append(line.rstrip())
print("\n".join(lines))
