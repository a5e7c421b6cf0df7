"""Shared set-up of the Python tests: a registry of their own, with the server registered in it,
and small GEDCOM files written for a test."""
import os
import shutil
import tempfile
import unittest

import voziroz

CLASS_E_CLASSNOTAVAILABLE = voziroz.errors.signed(0x80040111)
E_UNEXPECTED = voziroz.errors.signed(0x8000FFFF)

_folder = None


def register_server():
    """For setUpModule: a fresh registry (VOZIROZ_REGISTRY) with the server registered."""
    global _folder
    _folder = tempfile.mkdtemp(prefix="voziroz-python-")
    os.environ["VOZIROZ_REGISTRY"] = os.path.join(_folder, "registry")
    voziroz.RegisterServer()


def unregister_server():
    """For tearDownModule."""
    voziroz.UnregisterServer()
    del os.environ["VOZIROZ_REGISTRY"]
    shutil.rmtree(_folder, ignore_errors=True)


def create(prog_id):
    """A new object, or the test is skipped when the server does not make that class yet."""
    try:
        return voziroz.CreateObject(prog_id)
    except voziroz.AutomationError as error:
        if error.number == CLASS_E_CLASSNOTAVAILABLE:
            raise unittest.SkipTest(f"{prog_id} is not served yet")
        raise


def write_file(name, text, encoding="cp1252"):
    """A file of the test folder holding `text`; its path."""
    path = os.path.join(_folder, name)
    with open(path, "w", encoding=encoding, newline="\r\n") as file:
        file.write(text)
    return path


# A small family: John and Anna, married, with their son Peter, and one source.
FAMILY_GED = """0 HEAD
1 SOUR PYTHONTEST
1 GEDC
2 VERS 5.5
1 CHAR ANSI
0 @I1@ INDI
1 NAME John /Smith/
1 SEX M
1 BIRT
2 DATE 3 MAR 1900
2 PLAC Bergen
1 FAMS @F1@
0 @I2@ INDI
1 NAME Anna /Berg/
1 SEX F
1 FAMS @F1@
0 @I3@ INDI
1 NAME Peter /Smith/
1 SEX M
1 BIRT
2 DATE 1930
2 SOUR @S1@
1 FAMC @F1@
0 @F1@ FAM
1 HUSB @I1@
1 WIFE @I2@
1 CHIL @I3@
1 MARR
2 DATE 1925
0 @S1@ SOUR
1 TITL Parish register of Bergen
0 TRLR
"""
