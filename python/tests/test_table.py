"""Every member of Voziroz.Table called by name from Python, with a Parser as its argument."""
import unittest

import support
import voziroz

NULL_TO_TEXT = "Could not convert variant of type (Null) into type (String)"


def setUpModule():
    support.register_server()


def tearDownModule():
    support.unregister_server()


class ClosedTableTest(unittest.TestCase):
    def test_a_closed_table_answers_with_nothing(self):
        table = support.create("Voziroz.Table")
        self.assertIs(table.IsOpen, False)
        self.assertEqual((table.RowCount, table.ColCount, table.ColNames, table.KeyColname),
                         (-1, -1, None, ""))
        self.assertIsNone(table.Row(0))
        self.assertEqual(table.FindRow(1), -1)
        table.Close()


class OpenTableTest(unittest.TestCase):
    def setUp(self):
        self.parser = support.create("Voziroz.Parser")
        self.parser.Open(support.write_file("family.ged", support.FAMILY_GED))
        self.assertIs(self.parser.Execute(), True)
        self.table = support.create("Voziroz.Table")
        self.table.Open("person", self.parser)

    def test_reads_the_rows_of_the_parser_table(self):
        table = self.table
        self.assertIs(table.IsOpen, True)
        self.assertEqual(table.KeyColname, "IndiID")
        self.assertEqual(table.ColCount, 9)
        self.assertEqual(table.ColNames, self.parser.GetTable("PERSON"))
        self.assertEqual(table.RowCount, 2)  # the last row's index
        self.assertEqual([table.Row(i) for i in range(3)], self.parser.GetTable("person", "rows"))
        self.assertEqual((table.FindRow(3), table.FindRow(1), table.FindRow(99)), (2, 0, -1))
        self.assertEqual(table.rowcount, 2)  # names without regard to case

    def test_row_outside_the_table_is_a_range_check_error(self):
        for index in (-1, 3):
            with self.assertRaises(voziroz.AutomationError) as caught:
                self.table.Row(index)
            error = caught.exception
            self.assertEqual(error.number, -2147418113)  # 0x8000FFFF as a script sees it
            self.assertEqual(error.number & 0xFFFFFFFF, 0x8000FFFF)
            self.assertEqual(error.source, "Voziroz.Table")
            self.assertEqual(error.description, "Range check error")
        self.assertEqual(self.table.Row(0)[0], 1)  # still usable

    def test_keeps_its_table_when_the_parser_moves_on(self):
        rows = self.parser.GetTable("person", "rows")
        self.parser.Execute()
        self.parser.Close()
        del self.parser
        self.assertEqual([self.table.Row(i) for i in range(3)], rows)

    def test_opens_the_lines_table(self):
        self.table.Open("GEDCOM", self.parser)
        self.assertEqual(self.table.RowCount, self.parser.LineCount)
        self.assertEqual(self.table.ColNames, ["LineNb", "Level", "Keyword", "Value"])
        self.assertEqual(self.table.Row(0), [0, 0, "HEAD", ""])

    def test_open_needs_a_table_name_and_a_parser(self):
        with self.assertRaises(voziroz.AutomationError) as caught:
            self.table.Open(None, self.parser)
        self.assertEqual((caught.exception.source, caught.exception.description),
                         ("Voziroz.Table", NULL_TO_TEXT))
        for not_a_parser in ("parser", 5, support.create("Voziroz.Table"), None):
            with self.assertRaises(voziroz.AutomationError) as caught:
                self.table.Open("PERSON", not_a_parser)
            self.assertEqual(caught.exception.number, voziroz.errors.signed(0x80020005))
            self.assertEqual(caught.exception.argument, 1)

    def test_an_unknown_table_leaves_it_closed(self):
        self.table.Open("NOTHING", self.parser)
        self.assertIs(self.table.IsOpen, False)
        self.table.Open("SOURCE", self.parser)
        self.table.Close()
        self.assertIs(self.table.IsOpen, False)


if __name__ == "__main__":
    unittest.main()
