"""Python values through the extension's conversions and back: each kind into a VARIANT and
out again, and through a Queue of the component (which keeps text in Windows-1252)."""
import pathlib
import unittest

import support
import voziroz
from voziroz import Empty, ErrorValue, _voziroz

VT_EMPTY, VT_NULL, VT_I4, VT_R8, VT_BSTR, VT_ERROR, VT_BOOL, VT_I8 = 0, 1, 3, 5, 8, 10, 11, 20
VT_ARRAY_OF_VARIANT = 0x2000 | 12


def setUpModule():
    support.register_server()


def tearDownModule():
    support.unregister_server()


class ValuesTest(unittest.TestCase):
    def setUp(self):
        self.queue = support.create("Voziroz.Queue")
        self.queue.Init()

    def round_trip(self, value):
        self.queue.Put(value)
        return self.queue.Get()

    def test_each_python_value_has_its_kind_and_comes_back(self):
        nested = [1, [2, [3, [4, ["five"]]]]]
        cases = [
            (None, VT_NULL, None), (Empty, VT_EMPTY, None), (True, VT_BOOL, True),
            (False, VT_BOOL, False), (7, VT_I4, 7), (-2**31, VT_I4, -2**31),
            (2**31, VT_I8, 2**31), (1.5, VT_R8, 1.5),
            ("Tr\u00e4ger \u20ac \U0001F600", VT_BSTR, "Tr\u00e4ger \u20ac \U0001F600"),
            ("\ud800 lone \udfff", VT_BSTR, "\ud800 lone \udfff"), ("", VT_BSTR, ""),
            (pathlib.PurePosixPath("/a/b.ged"), VT_BSTR, "/a/b.ged"),
            (ErrorValue(-2147352572), VT_ERROR, ErrorValue(-2147352572)),
            ([1, "a", [None, True]], VT_ARRAY_OF_VARIANT, [1, "a", [None, True]]),
            ((), VT_ARRAY_OF_VARIANT, []), (nested, VT_ARRAY_OF_VARIANT, nested),
        ]
        for value, kind, expected in cases:
            with self.subTest(value=value):
                result = _voziroz._round_trip(value)
                self.assertEqual((result, type(result[1])), ((kind, expected), type(expected)))

    def test_values_cross_the_component_and_come_back(self):
        for value in (None, True, -2**31, "Tr\u00e4ger \u20ac", "", "x" * 70000,
                      ErrorValue(-2147352572), [1, "a", [None, [False, []]]]):
            with self.subTest(value=value):
                self.queue.Put(value)
                self.assertEqual(self.queue.Get(), value)

    def test_an_object_comes_back_as_itself(self):
        table = support.create("Voziroz.Table")
        self.assertEqual(self.round_trip(table), table)
        self.assertIsInstance(self.round_trip([table])[0], voziroz.Table)

    def test_values_that_cannot_cross_are_refused(self):
        recursive = []
        recursive.append(recursive)
        for value, error in ((object(), TypeError), ({"a": 1}, TypeError),
                             (b"bytes", TypeError), (2**64, OverflowError),
                             (recursive, RecursionError)):
            with self.subTest(value=type(value)):
                with self.assertRaises(error):
                    self.queue.Put(value)
        self.assertEqual(self.queue.Length, 0)

    def test_numbers_outside_32_bit_integers_cross_as_text(self):
        # Where a VARIANT is declared, the server keeps a whole 32-bit number and gives any other
        # number as its text.
        for value, held in ((2**31, "2147483648"), (1.5, "1.5"), (-7.0, -7)):
            with self.subTest(value=value):
                self.queue.Put(value)
                self.assertEqual(self.queue.Get(), held)

    def test_empty_passes_as_empty_text_and_none_as_null(self):
        parser = support.create("Voziroz.Parser")
        self.assertEqual(parser.DataLink(Empty), 0)
        with self.assertRaises(voziroz.AutomationError):
            parser.DataLink(None)


if __name__ == "__main__":
    unittest.main()
