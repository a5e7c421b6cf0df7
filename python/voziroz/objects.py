"""Parser and Table: the automation objects of Voziroz.Parser and Voziroz.Table, with what
Python adds to them. Every member is still called by name, as on any Dispatch."""
from ._voziroz import Dispatch


class _Closing(Dispatch):
    __slots__ = ()

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.Close()


class Parser(_Closing):
    """A Voziroz.Parser. As a context manager it calls Close on leaving the block:

        with voziroz.CreateObject("Voziroz.Parser") as parser:
            parser.Open(pathlib.Path("family.ged"))
    """

    __slots__ = ()


class Table(_Closing):
    """A Voziroz.Table. Iterating gives its rows (Row(0), Row(1), ...); as a context manager it
    calls Close on leaving the block.

    len(table) is the number of rows a script reads: RowCount + 1 for the five tables of
    Execute, whose RowCount is the index of their last row (a table without records still has
    its one row of empty cells), but RowCount itself for the lines table "GEDCOM", whose
    RowCount is the number of lines. A closed table has no rows.
    """

    __slots__ = ()

    def __len__(self):
        count = self.RowCount
        if count < 0:
            return 0
        return count if self.ColNames[0] == "LineNb" else count + 1

    def __iter__(self):
        return map(self.Row, range(len(self)))
