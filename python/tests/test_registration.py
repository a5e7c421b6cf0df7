"""Registration from Python, and what creating an object says when it cannot."""
import os
import unittest

import support
import voziroz
from voziroz.errors import signed


def setUpModule():
    support.register_server()


def tearDownModule():
    support.unregister_server()


class RegistrationTest(unittest.TestCase):
    def registry_lines(self):
        with open(os.environ["VOZIROZ_REGISTRY"], encoding="utf-8") as file:
            return file.read().splitlines()

    def test_registration_names_this_library_for_every_class(self):
        lines = self.registry_lines()
        self.assertIn("Voziroz.Parser\\Clsid\t\t{C75F7A80-B719-4164-AFC1-56A316B44679}", lines)
        library = os.path.realpath(voziroz.server_library())
        self.assertIn("CLSID\\{FA374253-E02E-461A-85FC-9370260773F1}\\InprocServer32\t\t"
                      + library, lines)

    def test_prog_ids_are_found_without_regard_to_case(self):
        for prog_id in ("Voziroz.Table", "voziroz.table", "VOZIROZ.TABLE"):
            with self.subTest(prog_id=prog_id):
                self.assertIsInstance(voziroz.CreateObject(prog_id), voziroz.Dispatch)

    def test_an_unregistered_class_cannot_be_created(self):
        voziroz.UnregisterServer()
        try:
            with self.assertRaises(voziroz.AutomationError) as caught:
                voziroz.CreateObject("Voziroz.Table")
        finally:
            voziroz.RegisterServer()
        self.assertEqual(caught.exception.number, signed(0x800401F3))
        self.assertEqual(caught.exception.description,
                         'no class is registered as "Voziroz.Table"; register the server first: '
                         '`voziroz register`, or voziroz.RegisterServer() from Python')

    def test_a_library_that_is_not_there_cannot_be_registered(self):
        with self.assertRaises(voziroz.AutomationError) as caught:
            voziroz.RegisterServer("/no/such/libvoziroz.so")
        self.assertEqual(caught.exception.number, signed(0x800401F8))
        self.assertEqual(caught.exception.description, "cannot find /no/such/libvoziroz.so")

    def test_every_class_of_the_library_is_served(self):
        for prog_id in ("Voziroz.Parser", "Voziroz.Table", "Voziroz.FTP", "Voziroz.Queue",
                        "Voziroz.Stack", "Voziroz.KeyList"):
            with self.subTest(prog_id=prog_id):
                self.assertIsInstance(voziroz.CreateObject(prog_id), voziroz.Dispatch)


if __name__ == "__main__":
    unittest.main()
