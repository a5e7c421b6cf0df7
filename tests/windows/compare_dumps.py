#!/usr/bin/env python3
"""Compares a dump written by dump_test.js under Wine (UTF-16) with `voziroz dump` of the same
file on Linux (UTF-8 JSON). Exit 0 when both hold the same values; otherwise prints the first
place where they differ and exits 1."""
import json
import sys


def first_difference(windows, linux, path="$"):
    if type(windows) is not type(linux):
        return f"{path}: {windows!r} on Windows, {linux!r} on Linux"
    if isinstance(windows, dict):
        for key in sorted(set(windows) | set(linux)):
            if key not in windows or key not in linux:
                return f"{path}.{key}: present on one side only"
            found = first_difference(windows[key], linux[key], f"{path}.{key}")
            if found:
                return found
        return None
    if isinstance(windows, list):
        for i, (w, l) in enumerate(zip(windows, linux)):
            found = first_difference(w, l, f"{path}[{i}]")
            if found:
                return found
        if len(windows) != len(linux):
            return f"{path}: {len(windows)} elements on Windows, {len(linux)} on Linux"
        return None
    return None if windows == linux else f"{path}: {windows!r} on Windows, {linux!r} on Linux"


def load(path, encoding, side):
    try:
        with open(path, encoding=encoding) as f:
            return json.load(f)
    except (OSError, UnicodeError, ValueError) as error:
        raise SystemExit(f"no readable dump on {side}: {error}")


def main():
    windows = load(sys.argv[1], "utf-16", "Windows")
    linux = load(sys.argv[2], "utf-8", "Linux")
    found = first_difference(windows, linux)
    if found:
        print(found)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
