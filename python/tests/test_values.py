"""Python values through VARIANTs and back, without a server: what every call relies on."""
import ctypes
import unittest

from voziroz import Empty, ErrorValue, _native as native, values


def round_trip(value):
    v = values.new_variant()
    try:
        values.fill(v, value, lambda _: None)
        return v.vt, values.read(v, lambda _: None)
    finally:
        values.clear(v)


class ValuesTest(unittest.TestCase):
    def test_each_python_value_has_its_kind_and_comes_back(self):
        cases = [
            (None, native.VT_NULL, None),
            (Empty, native.VT_EMPTY, None),
            (True, native.VT_BOOL, True),
            (False, native.VT_BOOL, False),
            (7, native.VT_I4, 7),
            (-2**31, native.VT_I4, -2**31),
            (2**31, native.VT_I8, 2**31),
            (1.5, native.VT_R8, 1.5),
            ("Tr\u00e4ger \u20ac \U0001F600", native.VT_BSTR, "Tr\u00e4ger \u20ac \U0001F600"),
            ("", native.VT_BSTR, ""),
            (ErrorValue(-2147352572), native.VT_ERROR, ErrorValue(-2147352572)),
            ([1, "a", [None, True]], native.VT_ARRAY | native.VT_VARIANT, [1, "a", [None, True]]),
            ((), native.VT_ARRAY | native.VT_VARIANT, []),
        ]
        for value, kind, expected in cases:
            with self.subTest(value=value):
                self.assertEqual(round_trip(value), (kind, expected))

    def test_values_that_cannot_cross_are_refused(self):
        for value in (object(), {"a": 1}, b"bytes", 2**64):
            with self.subTest(value=value):
                with self.assertRaises((TypeError, OverflowError)):
                    round_trip(value)

    def test_a_two_dimensional_array_becomes_a_list_of_rows(self):
        bounds = (native.SAFEARRAYBOUND * 2)(native.SAFEARRAYBOUND(2, 0),
                                             native.SAFEARRAYBOUND(3, 0))
        array = native.vozcom.vz_safearray_create(native.VT_VARIANT, 2, bounds)
        elements = (native.VARIANT * 6).from_address(array.contents.pvData)
        for row in range(2):
            for column in range(3):
                element = elements[row + 2 * column]  # the first index varies fastest
                element.vt, element.lVal = native.VT_I4, 10 * row + column
        v = values.new_variant()
        v.vt, v.parray = native.VT_ARRAY | native.VT_VARIANT, array
        try:
            self.assertEqual(values.read(v, None), [[0, 1, 2], [10, 11, 12]])
        finally:
            values.clear(v)

    def test_a_null_array_is_none(self):
        v = values.new_variant()
        v.vt = native.VT_ARRAY | native.VT_VARIANT
        self.assertIsNone(values.read(v, None))

    def test_a_reference_is_read_where_it_points(self):
        target = values.new_variant()
        values.fill(target, "inside", None)
        reference = values.new_variant()
        reference.vt, reference.byref = native.VT_BYREF | native.VT_VARIANT, ctypes.addressof(
            target)
        self.assertEqual(values.read(reference, None), "inside")
        values.clear(target)


if __name__ == "__main__":
    unittest.main()
