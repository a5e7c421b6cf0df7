#!/usr/bin/env python3
"""Checks `voziroz dump` from outside, as the tools that compare its output read it.

usage: dump_test.py VOZIROZ [CORPUS_DIR]
Without CORPUS_DIR: the exact document for small files written here. With it: every file of the
folder dumps without error into a document of the agreed shape, and files whose text Windows-1252
holds dump alike in both code pages; exit 77 (skipped) when the folder is absent.
"""
import json
import os
import subprocess
import sys
import tempfile

TABLES = ["PERSON", "EVENT", "FAMILY", "SOURCE", "MULTIMEDIA"]
TOP_KEYS = ["isOpen", "lineCount", "lines", "metadata", "execute", "tables"]
# Corpus files in every encoding whose text Windows-1252 holds: ANSI, UTF-8 declared, UTF-16
# both byte orders, and declared ASCII with stray high bytes.
WINDOWS_1252_FILES = ["Ansi.ged", "willis.ged", "vendor-heredis.ged", "555SAMPLE16LE.GED",
                      "willis-unicode-bigendian.ged", "encoding_error.ged"]


def dump(voziroz, path, code_page="1252"):
    """The document; the exit status must be 0 for a file that opens, else 1 with one line."""
    run = subprocess.run([voziroz, "--code-page", code_page, "dump", path], capture_output=True,
                         timeout=120)
    text = run.stdout.decode("utf-8")
    document = json.loads(text)
    expected = (0, 0) if document["isOpen"] else (1, 1)
    if (run.returncode, run.stderr.count(b"\n")) != expected:
        raise AssertionError(f"{path}: exit {run.returncode}: {run.stderr.decode(errors='replace')}")
    canonical = json.dumps(document, ensure_ascii=False) + "\n"
    if text != canonical:
        raise AssertionError(f"{path}: not in the agreed form (json.dumps, ensure_ascii=False)")
    return document


def check_shape(path, d):
    assert list(d) == TOP_KEYS, f"{path}: keys {list(d)}"
    assert isinstance(d["isOpen"], bool) and isinstance(d["execute"], bool)
    assert len(d["lines"]) == d["lineCount"], f"{path}: lines and lineCount differ"
    for line in d["lines"]:
        assert len(line) == 3 and isinstance(line[0], int), f"{path}: line {line}"
        assert isinstance(line[1], str) and isinstance(line[2], str), f"{path}: line {line}"
    assert len(d["metadata"]) == 21 and all(len(row) == 3 for row in d["metadata"])
    assert list(d["tables"]) == (TABLES if d["execute"] else []), f"{path}: {list(d['tables'])}"
    for name, table in d["tables"].items():
        assert list(table) == ["key", "columns", "rows"], f"{path}: {name} keys"
        assert table["key"] in table["columns"], f"{path}: {name} key {table['key']}"
        for row in table["rows"]:
            assert len(row) == len(table["columns"]), f"{path}: {name} row width"
            assert all(c is None or type(c) in (int, str) for c in row), f"{path}: {name} cell"


def check_small_files(voziroz, folder):
    missing = dump(voziroz, os.path.join(folder, "missing.ged"))
    expected = {"isOpen": False, "lineCount": 0, "lines": [],
                "metadata": [[None, None, None]] * 21, "execute": False, "tables": {}}
    assert missing == expected, f"missing file: {missing}"

    path = os.path.join(folder, "bytes.ged")
    with open(path, "wb") as f:
        f.write(b'0 HEAD\r\n1 CHAR ANSI\r\n0 @I1@ INDI\r\n'
                b'1 NAME J\x81\x8d\x8f\x90\x9d "q" \\ \xe9\x80 /Lee/\r\n'
                b'1 NOTE a\tb\x01c\r\n0 TRLR\r\n')
    d = dump(voziroz, path)
    check_shape(path, d)
    name = 'J\u0081\u008d\u008f\u0090\u009d "q" \\ \u00e9\u20ac /Lee/'
    assert d["lines"] == [[0, "HEAD", ""], [1, "CHAR", "ANSI"], [0, "INDI", "@I1@"],
                          [1, "NAME", name], [1, "NOTE", "a\tb\u0001c"]], d["lines"]
    assert d["isOpen"] and d["execute"] and d["lineCount"] == 5
    assert d["metadata"][5] == ["GEDCOM file", "Lines", 5]
    assert d["metadata"][10] == ["GEDCOM file", "Charset", "ANSI"]
    person = d["tables"]["PERSON"]
    assert person["key"] == "IndiID" and person["rows"][0][0] == 1, person
    assert name in person["rows"][0], person["rows"][0]

    path = os.path.join(folder, "polish.ged")
    with open(path, "wb") as f:
        f.write("0 HEAD\n0 @I1@ INDI\n1 NAME Michał /Łukasiewicz/\n1 SEX É\n0 TRLR\n".encode())
    rows = {page: dump(voziroz, path, page)["tables"]["PERSON"]["rows"][0][1:6]
            for page in ("1252", "utf-8")}
    assert rows["utf-8"] == ["É", "", "Michał /Łukasiewicz/", "Łukasiewicz", "Michał"], rows
    assert rows["1252"][2] == "MichaÅ\u201a /Å\u0081ukasiewicz/", rows  # bytes as they are


def main():
    voziroz = sys.argv[1]
    if len(sys.argv) == 2:
        with tempfile.TemporaryDirectory() as folder:
            check_small_files(voziroz, folder)
        print("small files: ok")
        return 0
    corpus = sys.argv[2]
    if not os.path.isdir(corpus):
        print(f"skipped: no corpus at {corpus}")
        return 77
    names = sorted(os.listdir(corpus))
    for name in names:
        path = os.path.join(corpus, name)
        check_shape(path, dump(voziroz, path))
    for name in WINDOWS_1252_FILES:
        path = os.path.join(corpus, name)
        assert dump(voziroz, path, "utf-8") == dump(voziroz, path), f"{path}: code pages differ"
    print(f"corpus: {len(names)} files dumped, {len(WINDOWS_1252_FILES)} in both code pages")
    return 0


if __name__ == "__main__":
    sys.exit(main())
