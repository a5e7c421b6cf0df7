"""Parser and Table: the automation objects of Voziroz.Parser and Voziroz.Table, with what
Python adds to them. Every member is still called by name, as on any Dispatch."""
from ._voziroz import Dispatch


class _Closing(Dispatch):
    __slots__ = ()

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.Close()


class _ByProgId(_Closing):
    """Calling the class makes a new object of its ProgID, as CreateObject does."""

    __slots__ = ()
    _PROG_ID = None

    def __new__(cls):
        from . import CreateObject  # the package's, which says how to register the server
        return CreateObject(cls._PROG_ID)


class Parser(_ByProgId):
    """A Voziroz.Parser (voziroz.Parser() or voziroz.CreateObject("Voziroz.Parser")). As a
    context manager it calls Close on leaving the block:

        with voziroz.Parser() as parser:
            parser.Open(pathlib.Path("family.ged"))
    """

    __slots__ = ()
    _PROG_ID = "Voziroz.Parser"


class Table(_ByProgId):
    """A Voziroz.Table (voziroz.Table() or voziroz.CreateObject("Voziroz.Table")). Iterating gives its rows (Row(0), Row(1), ...); as a context manager it
    calls Close on leaving the block.

    len(table) is the number of rows a script reads: RowCount + 1 for the five tables of
    Execute, whose RowCount is the index of their last row (a table without records still has
    its one row of empty cells), but RowCount itself for the lines table "GEDCOM", whose
    RowCount is the number of lines. A closed table has no rows.
    """

    __slots__ = ()
    _PROG_ID = "Voziroz.Table"

    def __len__(self):
        count = self.RowCount
        if count < 0:
            return 0
        return count if self.ColNames[0] == "LineNb" else count + 1

    def __iter__(self):
        return map(self.Row, range(len(self)))
