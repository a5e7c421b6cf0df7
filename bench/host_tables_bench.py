#!/usr/bin/env python3
"""The Python host's benchmark (see bench/README.md): the work of host_tables_bench.c through
the voziroz package.

usage: host_tables_bench.py FILE tables|walk
  tables: Open, Execute, then GetTable(name, "rows") of the five tables, every cell touched
  walk:   Open and Execute (not timed), then Row(i) of a Table on EVENT for every row
Prints "seconds <s> peak_kb <kb> cells <n>". The server must be registered ($VOZIROZ_REGISTRY).
"""
import resource
import sys
import time

import voziroz

TABLES = ("PERSON", "FAMILY", "EVENT", "SOURCE", "MULTIMEDIA")


def opened_parser(path):
    parser = voziroz.CreateObject("Voziroz.Parser")
    parser.Open(path)
    if not parser.Execute():
        sys.exit(f"cannot build the tables of {path}")
    return parser


def touch(rows):
    """Reads every cell, as a host does; the number of cells."""
    cells = filled = 0
    for row in rows:
        cells += len(row)
        for cell in row:
            if cell is not None:
                filled += 1
    return cells


def read_tables(path):
    parser = opened_parser(path)
    return sum(touch(parser.GetTable(name, "rows")) for name in TABLES)


def walk_events(parser):
    table = voziroz.CreateObject("Voziroz.Table")
    table.Open("EVENT", parser)
    return touch(table)


def main(path, mode):
    if mode == "tables":
        start = time.perf_counter()
        cells = read_tables(path)
    else:
        parser = opened_parser(path)
        start = time.perf_counter()
        cells = walk_events(parser)
    seconds = time.perf_counter() - start
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    print(f"seconds {seconds:.3f} peak_kb {peak} cells {cells}")


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[2] not in ("tables", "walk"):
        sys.exit(__doc__)
    main(*sys.argv[1:])
