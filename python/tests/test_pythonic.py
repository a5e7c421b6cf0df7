"""What the package adds for Python: docstrings from the type information, paths as file names,
Parser and Table as context managers, a Table's rows by iteration and len()."""
import pathlib
import pydoc
import unittest

import support
import voziroz


def setUpModule():
    support.register_server()


def tearDownModule():
    support.unregister_server()


class PythonicTest(unittest.TestCase):
    def setUp(self):
        self.path = pathlib.Path(support.write_file("family.ged", support.FAMILY_GED))
        self.parser = support.create("Voziroz.Parser")

    def test_members_show_their_parameters_and_help_string(self):
        keys = support.create("Voziroz.KeyList")
        cases = [
            (self.parser.GetAncestors, "GetAncestors(ID, Generation)\n",
             "GetAncestors(ID: int, Generation: int) -> list\n\nUtility, Returns all ancestors"),
            (self.parser.GetTable, "GetTable(...)\n",
             "GetTable(TableName: any[, Parameter: any]) -> list\n\nReturns raw table data"),
            (keys.ByIndex, "ByIndex(Index)\n", "ByIndex(Index: int) -> (Key: str, Item: any)"),
            (keys.Item, "Item(Key)\n", "Assign with obj.Item[...] = value."),
        ]
        for member, title, text in cases:
            with self.subTest(member=member):
                self.assertIn(title, pydoc.render_doc(member, renderer=pydoc.plaintext))
                self.assertIn(text, member.__doc__)
        self.assertIn("GetAncestors", dir(self.parser))

    def test_a_path_opens_the_file(self):
        self.parser.Open(self.path)
        self.assertIs(self.parser.IsOpen, True)

    def test_parser_and_table_close_on_leaving_a_with_block(self):
        with self.parser as parser:
            parser.Open(self.path)
            parser.Execute()
            with voziroz.Table() as table:
                table.Open("PERSON", parser)
                self.assertIsInstance(table, voziroz.Table)
            self.assertIs(table.IsOpen, False)
        self.assertIs(self.parser.IsOpen, False)
        self.assertIsInstance(self.parser, voziroz.Parser)

    def test_only_the_classes_of_a_prog_id_can_be_called(self):
        self.assertIsInstance(voziroz.Parser(), voziroz.Parser)
        for made_by_the_module in (voziroz.Dispatch, voziroz.BoundMember):
            with self.subTest(made_by_the_module), self.assertRaises(TypeError):
                made_by_the_module()

    def test_a_table_iterates_over_the_rows_a_script_reads(self):
        self.parser.Open(self.path)
        self.parser.Execute()
        table = voziroz.CreateObject("Voziroz.Table")
        self.assertEqual((len(table), list(table)), (0, []))  # closed
        for name, count in (("PERSON", 3), ("MULTIMEDIA", 1), ("GEDCOM", 31)):
            with self.subTest(name=name):
                table.Open(name, self.parser)
                rows = list(table)
                self.assertEqual((len(table), len(rows)), (count, count))
                self.assertEqual(rows[-1], table.Row(count - 1))
        self.assertEqual(list(table)[0], [0, 0, "HEAD", ""])

    def test_errors_read_as_their_three_fields(self):
        table = voziroz.CreateObject("Voziroz.Table")
        self.parser.Open(self.path)
        self.parser.Execute()
        table.Open("PERSON", self.parser)
        with self.assertRaises(voziroz.AutomationError) as caught:
            table.Row(99)
        self.assertEqual(str(caught.exception), "Voziroz.Table: Range check error (0x8000FFFF)")


if __name__ == "__main__":
    unittest.main()
