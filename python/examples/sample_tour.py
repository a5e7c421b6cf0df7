#!/usr/bin/env python3
"""A short tour of Voziroz from Python, using the component only by ProgID, as a script does:
register the server, open a GEDCOM file, print its metadata, the size of each table, one
person's row with their events, and their parents and grandparents.

usage: sample_tour.py [GEDCOM_FILE]    (default: samples/family.ged of this source tree)

Uses the installed voziroz package (pip install ./python), else the one of this source tree.
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
try:
    import voziroz
except ImportError:
    sys.path.insert(0, os.path.join(ROOT, "python"))
    import voziroz


def shown(value):
    """A cell on one line: the line breaks of a joined GEDCOM value become " / "."""
    return " / ".join(str(value).splitlines())


def heading(text):
    print(f"\n== {text}")


def open_table(name, parser):
    table = voziroz.CreateObject("Voziroz.Table")
    table.Open(name, parser)
    return table


def rows_of(table):
    """The rows that hold a record (an empty table keeps one row of empty cells)."""
    key = table.ColNames.index(table.KeyColname)
    return [row for row in table if row[key] is not None]


def print_metadata(parser):
    heading("Metadata")
    for row in parser.Metadata():
        cells = [shown(cell) for cell in row if cell not in (None, "")]
        if cells:
            print("  " + " | ".join(cells))


def print_table_sizes(parser):
    heading("Tables")
    for name in parser.TableNames:
        table = open_table(name, parser)
        count = len(table) if name == "GEDCOM" else len(rows_of(table))
        print(f"  {name:<11} {count:>5} rows  {table.ColCount:>2} columns: "
              + ", ".join(table.ColNames))


def person_name(people, person_id):
    row = people.FindRow(person_id)
    if row < 0:
        return f"#{person_id} (unknown)"
    record = dict(zip(people.ColNames, people.Row(row)))
    return f"{record['Fullname']} (#{person_id})"


def print_person(people, events, person_id):
    heading("One person")
    row = people.Row(people.FindRow(person_id))
    for column, value in zip(people.ColNames, row):
        if value not in (None, ""):
            print(f"  {column:<10} {shown(value)}")
    print("  events:")
    first = events.FindRow(person_id)
    columns = events.ColNames
    for index in range(first, events.RowCount + 1) if first >= 0 else ():
        event = dict(zip(columns, events.Row(index)))
        if event["MainRefID"] != person_id:
            break
        details = [shown(event[c]) for c in ("Date", "Location", "Info") if event[c]]
        if event["FamRefID"] not in (None, -1):
            details.append(f"family #{event['FamRefID']}")
        print(f"    {event['Eventcode']:<5} " + ", ".join(details))


def ancestors(parser, person_id, generation):
    """The IDs of one generation (-1 unknown), or None when there is no such generation."""
    result = parser.GetAncestors(person_id, generation)
    _, deepest = parser.GetAncestors(person_id, 0)
    return result if 1 <= generation <= deepest else None


def print_ancestors(parser, people, person_id):
    heading("Parents and grandparents")
    generations = [ancestors(parser, person_id, g) for g in (1, 2)]
    for label, ids in zip(("parents", "grandparents"), generations):
        if not ids:
            print(f"  {label}: none known")
            continue
        names = [person_name(people, i) if i >= 0 else "unknown" for i in ids]
        print(f"  {label}: " + "; ".join(names))


def person_with_most_ancestors(parser, people):
    """The person whose known pedigree reaches furthest back (the first of them)."""
    best, best_depth = None, -1
    for row in rows_of(people):
        depth = parser.GetAncestors(row[0], 0)[1]
        if depth > best_depth:
            best, best_depth = row[0], depth
    return best


def main(arguments):
    path = arguments[0] if arguments else os.path.join(ROOT, "samples", "family.ged")
    voziroz.RegisterServer()
    print(f"Registered the server {voziroz.server_library()} in your registry "
          f"{voziroz.registry_path()}")
    with voziroz.CreateObject("Voziroz.Parser") as parser:
        return tour(parser, path)


def tour(parser, path):
    parser.Open(path)
    if not parser.IsOpen:
        print(f"cannot open {path}", file=sys.stderr)
        return 1
    print(f"Opened {path}: {parser.LineCount} lines")
    print_metadata(parser)
    if not parser.Execute():
        print("the tables could not be built", file=sys.stderr)
        return 1
    print_table_sizes(parser)
    people = open_table("PERSON", parser)
    events = open_table("EVENT", parser)
    person_id = person_with_most_ancestors(parser, people)
    if person_id is None:
        print("\nThe file holds no person.")
        return 0
    print_person(people, events, person_id)
    print_ancestors(parser, people, person_id)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except voziroz.AutomationError as error:
        print(f"sample_tour: {error}", file=sys.stderr)
        sys.exit(1)
