#!/usr/bin/env python3
"""The Python host's benchmark (bench/README.md): the work of host_tables_bench.c through the
voziroz package.

usage: host_tables_bench.py FILE rows|gettable|walk
  rows:     Open, Execute, then every row of the five tables through a Table (for row in table)
  gettable: Open, Execute, then GetTable(name, "rows") of the five tables
  walk:     Open and Execute (not timed), then Row(i) of a Table on EVENT for every row
Every cell is read. Prints "seconds <wall> cpu <user + system> peak_kb <kb> cells <n>". The
server must be registered ($VOZIROZ_REGISTRY).
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


def rows_of_tables(path):
    parser = opened_parser(path)
    cells = 0
    for name in TABLES:
        with voziroz.CreateObject("Voziroz.Table") as table:
            table.Open(name, parser)
            cells += touch(table)
    return cells


def get_tables(path):
    parser = opened_parser(path)
    return sum(touch(parser.GetTable(name, "rows")) for name in TABLES)


def walk_events(parser):
    table = voziroz.CreateObject("Voziroz.Table")
    table.Open("EVENT", parser)
    row = table.Row
    return touch(row(i) for i in range(table.RowCount + 1))


def cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_SELF)
    return usage.ru_utime + usage.ru_stime


def main(path, mode):
    work = {"rows": rows_of_tables, "gettable": get_tables}.get(mode)
    if work is None:
        parser = opened_parser(path)
        work = lambda _: walk_events(parser)  # noqa: E731
    start, cpu = time.perf_counter(), cpu_seconds()
    cells = work(path)
    seconds, cpu = time.perf_counter() - start, cpu_seconds() - cpu
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    print(f"seconds {seconds:.3f} cpu {cpu:.3f} peak_kb {peak} cells {cells}")


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[2] not in ("rows", "gettable", "walk"):
        sys.exit(__doc__)
    main(*sys.argv[1:])
