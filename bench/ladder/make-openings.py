#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the ladder's openings: four stones (Black, White, Black, White) within two lines of the
# centre, drawn from a fixed seed, kept only where the design's own search sees no forced win,
# no win to set up and no defence needed for either side: open for both.
# usage: make-openings.py LINDORA-CLI COUNT > openings.txt
import random
import subprocess
import sys

cli, count = sys.argv[1], int(sys.argv[2])
shell = subprocess.Popen([cli], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)


def ask(line):
    shell.stdin.write(line + "\n")
    shell.stdin.flush()
    return shell.stdout.readline()


rng = random.Random(20261209)
seen = set()
print("# Four-stone openings the design's search judges open for both sides (make-openings.py)")
while len(seen) < count:
    cells = rng.sample([(c, r) for c in range(6, 11) for r in range(6, 11)], 4)
    key = tuple(cells)
    if key in seen:
        continue
    ask("new")
    for index, (c, r) in enumerate(cells):
        ask(f"place {c} {r} {2 if index % 2 == 0 else 3}")
    verdicts = [ask(f"choose {colour} 16") for colour in (2, 3)]
    if all('[[0," "]]' in answer for answer in verdicts):
        seen.add(key)
        # Offsets from the centre (8, 8), the protocol's y growing downwards like the rows.
        print(", ".join(f"{c - 8},{r - 8}" for c, r in cells))
