#!/usr/bin/env python3
"""set_overlap.py: how much of their squares the levels of a set share, pair by pair.

   set_overlap.py [--most PERCENT] MAP...

Two levels share a square where both have one at the same column and row; a pair's figure is
the squares it shares in percent of the larger level's, over 50 when they share more than half
the squares of each (the generator keeps a set's levels at 50 or under). Beside it, the most
the pair shares with one moved over the other by whole squares, for the eye: dense places
overlap there however they are drawn. Prints the pair that shares the most, and with --most
fails (status 1) when it shares more than PERCENT. A file that is no map is named with its
fault (status 2)."""
import sys


def read_squares(path):
    """The (column, row) of each square of the map at `path`."""
    try:
        with open(path, encoding="latin-1") as f:
            lines = f.read().split("\n")
    except OSError as e:
        print(f"set_overlap: {path}: cannot be read: {e.strerror}", file=sys.stderr)
        sys.exit(2)
    for i, line in enumerate(lines):
        if line.startswith("squares:"):
            try:
                count = int(lines[i + 1])
                squares = set()
                for row in lines[i + 2:i + 2 + count]:
                    fields = row.split()
                    squares.add((int(fields[0]), int(fields[2])))
                if len(squares) == 0 or len(lines) < i + 2 + count:
                    raise ValueError
                return squares
            except (ValueError, IndexError):
                break
    print(f"set_overlap: {path}: no list of squares in it", file=sys.stderr)
    sys.exit(2)


def most_shared(a, b):
    """The most squares of `a` and `b` that coincide with `b` moved over by whole squares."""
    best = 0
    shifts = {(ax - bx, az - bz) for ax, az in a for bx, bz in b}
    for dx, dz in shifts:
        best = max(best, sum((x + dx, z + dz) in a for x, z in b))
    return best


def main(argv):
    most = None
    if len(argv) > 1 and argv[0] == "--most":
        most, argv = float(argv[1]), argv[2:]
    if len(argv) < 2:
        sys.exit("usage: set_overlap.py [--most PERCENT] MAP MAP...")
    levels = [(path, read_squares(path)) for path in argv]
    worst, moved = (-1.0, None, None, 0), 0.0
    for i in range(len(levels)):
        for j in range(i + 1, len(levels)):
            (pa, a), (pb, b) = levels[i], levels[j]
            larger = max(len(a), len(b))
            share = 100.0 * len(a & b) / larger
            if share > worst[0]:
                worst = (share, pa, pb, len(a & b))
            moved = max(moved, 100.0 * most_shared(a, b) / larger)
    share, pa, pb, shared = worst
    print(f"most shared: {share:.0f} % ({shared} squares) by {pa} and {pb}; "
          f"moved over: {moved:.0f} %")
    return 1 if most is not None and share > most else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
