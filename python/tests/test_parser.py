"""Every member of Voziroz.Parser called by name from Python, as a script calls it."""
import unittest

import support
import voziroz

TABLE_NAMES = ["PERSON", "EVENT", "FAMILY", "SOURCE", "MULTIMEDIA", "GEDCOM"]
PERSON_COLUMNS = ["IndiID", "Sex", "AFN", "Fullname", "Surname", "GivenName", "Note", "Updated",
                  "SourID"]
NULL_TO_TEXT = "Could not convert variant of type (Null) into type (String)"


def setUpModule():
    support.register_server()


def tearDownModule():
    support.unregister_server()


class NewParserTest(unittest.TestCase):
    def setUp(self):
        self.parser = support.create("Voziroz.Parser")

    def test_a_new_parser_is_closed_and_empty(self):
        self.assertIs(self.parser.IsOpen, False)
        self.assertEqual(self.parser.LineCount, 0)
        self.assertIs(self.parser.Execute(), False)
        self.assertIsNone(self.parser.GetTable("PERSON", "rows"))
        self.assertEqual(self.parser.DataLink("PERSON"), 0)
        self.assertEqual(self.parser.TableNames, TABLE_NAMES)
        self.assertEqual(len(self.parser.Metadata()), 21)

    def test_a_file_that_cannot_be_read_leaves_it_closed(self):
        for name in ("/no/such/file.ged", support._folder, None, ""):
            with self.subTest(name=name):
                self.parser.Open(name)
                self.assertIs(self.parser.IsOpen, False)


class OpenParserTest(unittest.TestCase):
    def setUp(self):
        self.text = support.FAMILY_GED
        self.parser = support.create("Voziroz.Parser")
        self.parser.Open(support.write_file("family.ged", self.text))

    def test_open_reads_the_lines(self):
        self.assertIs(self.parser.IsOpen, True)
        self.assertEqual(self.parser.LineCount, len(self.text.splitlines()) - 1)  # no TRLR
        self.assertEqual(self.parser.Line(0), [0, "HEAD", "", None])
        self.assertEqual(self.parser.Line(6), [1, "NAME", "John /Smith/", None])
        trailer = [0, "TRLR", "", None]
        self.assertEqual(self.parser.Line(-1), trailer)
        self.assertEqual(self.parser.Line(self.parser.LineCount), trailer)
        self.assertEqual(self.parser.line("6"), self.parser.Line(6))  # any case; text as number

    def test_metadata_is_a_grid_of_three_columns(self):
        metadata = self.parser.Metadata()
        self.assertEqual(len(metadata), 21)
        self.assertTrue(all(len(row) == 3 for row in metadata))
        self.assertIn("PYTHONTEST", [cell for row in metadata for cell in row])

    def test_execute_builds_the_tables(self):
        self.assertIs(self.parser.Execute(), True)
        self.assertEqual(self.parser.GetTable("person"), PERSON_COLUMNS)
        for parameter in ("", "header", "FieldNames"):
            self.assertEqual(self.parser.GetTable("PERSON", parameter), PERSON_COLUMNS)
        rows = self.parser.GetTable("person", "rows")
        self.assertEqual([row[0] for row in rows], [1, 2, 3])
        self.assertEqual(self.parser.GetTable("Person", "ROWS"), rows)
        self.assertEqual(self.parser.GetTable("person", "2"), rows[2])
        for parameter in ("-12345", "abc"):
            self.assertIsNone(self.parser.GetTable("person", parameter))
        self.assertIsNone(self.parser.GetTable("nothing", "rows"))
        family = self.parser.GetTable("FAMILY", "rows")
        self.assertEqual([(row[0], row[2]) for row in family],
                         [(500001, 1), (500001, 2), (500001, 3)])

    def test_hidden_members_are_called_by_name(self):
        self.parser.Execute()
        self.assertGreater(self.parser.DataLink("person"), 0)
        self.assertGreater(self.parser.DataLink("GEDCOM"), 0)
        self.assertEqual(self.parser.DataLink("nothing"), 0)
        self.assertEqual(self.parser.gettable("source", "rows")[0][0], 1)

    def test_get_ancestors_gives_one_generation_or_the_range(self):
        self.parser.Execute()
        self.assertEqual(self.parser.GetAncestors(3, 1), [1, 2])
        self.assertEqual(self.parser.GetAncestors(3, 0), [1, 1])
        self.assertEqual(self.parser.GetAncestors(1, 0), [1, 0])
        self.assertEqual(self.parser.GetAncestors(3, 5), [1, 1])

    def test_errors_reach_the_script_with_number_source_and_description(self):
        self.parser.Execute()
        cases = [
            (lambda: self.parser.GetTable("person", "-1"), "Range check error"),
            (lambda: self.parser.GetTable("person", "3"), "Range check error"),
            (lambda: self.parser.GetTable(None, "rows"), NULL_TO_TEXT),
            (lambda: self.parser.DataLink(None), NULL_TO_TEXT),
        ]
        for call, description in cases:
            with self.assertRaises(voziroz.AutomationError) as caught:
                call()
            self.assertEqual((caught.exception.number, caught.exception.source,
                              caught.exception.description),
                             (support.E_UNEXPECTED, "Voziroz.Parser", description))

    def test_the_dispatch_layer_refuses_bad_calls(self):
        cases = [
            (lambda: self.parser.Line("x"), 0x80020005, 0),
            (lambda: self.parser.Line(1, 2), 0x8002000E, None),
            (lambda: self.parser.GetTable(), 0x8002000E, None),
            (lambda: self.parser.Line(2**40), 0x8002000A, 0),
        ]
        for call, number, argument in cases:
            with self.assertRaises(voziroz.AutomationError) as caught:
                call()
            self.assertEqual(caught.exception.number, voziroz.errors.signed(number))
            self.assertEqual(caught.exception.argument, argument)
        with self.assertRaises(AttributeError):
            self.parser.NoSuchMember

    def test_file_names_reach_the_system_whole(self):
        # Windows-1252 lacks Ł and ź: the name is not narrowed to the code page on its way.
        for name in ("Łódź Müller.ged", "Мини.ged"):
            with self.subTest(name=name):
                self.parser.Open(support.write_file(name, self.text))
                self.assertIs(self.parser.IsOpen, True)
                self.assertEqual(self.parser.Line(6), [1, "NAME", "John /Smith/", None])

    def test_a_name_holding_nul_is_refused(self):
        # The system would stop at the NUL and open family.ged.
        path = support.write_file("family.ged", self.text)
        self.parser.Open(path + "\0.jpg")
        self.assertIs(self.parser.IsOpen, False)

    def test_thumbnail_of_a_missing_picture_is_false(self):
        made = self.parser.Thumbnail(support._folder + "/none.jpg",
                                     support._folder + "/thumb.jpg", 20, 20, 0)
        self.assertIs(made, False)

    def test_close_keeps_the_lines_of_the_last_file(self):
        self.parser.Execute()
        self.parser.Close()
        self.assertIs(self.parser.IsOpen, False)
        self.assertEqual(self.parser.LineCount, 0)
        self.assertEqual(self.parser.Line(0), [0, "HEAD", "", None])
        self.assertIsNone(self.parser.GetTable("person", "rows"))
        self.assertIs(self.parser.Execute(), False)


if __name__ == "__main__":
    unittest.main()
