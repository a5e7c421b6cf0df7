"""The containers through Python: KeyList's indexed puts, out-parameters as a tuple and objects
as items; the order of Queue and Stack. Skipped while the server does not make them."""
import unittest

import support


def setUpModule():
    support.register_server()


def tearDownModule():
    support.unregister_server()


class KeyListTest(unittest.TestCase):
    def setUp(self):
        self.keys = support.create("Voziroz.KeyList")
        self.keys.Init()

    def test_indexed_put_and_get(self):
        self.keys.Item["a"] = 5
        self.assertEqual(self.keys.Item["a"], 5)
        self.assertEqual(self.keys.Item("a"), 5)
        self.keys.Item["a"] = [1, "two"]
        self.assertEqual(self.keys.Item["a"], [1, "two"])
        self.assertEqual(self.keys.Count, 1)

    def test_by_index_returns_its_out_parameters_as_a_tuple(self):
        self.keys.Add("b", "second")
        self.keys.Add("a", "first")
        self.assertEqual(self.keys.ByIndex(0), ("a", "first"))
        self.assertEqual(self.keys.ByIndex(1), ("b", "second"))

    def test_an_object_as_an_item_keeps_its_identity(self):
        table = support.create("Voziroz.Table")
        self.keys.Add("t", table)
        self.assertEqual(self.keys.Item["t"], table)

    def test_a_number_as_a_key_arrives_as_its_text(self):
        self.keys.Add(12, "twelve")
        self.assertTrue(self.keys.Exists("12"))


class QueueAndStackTest(unittest.TestCase):
    def test_a_queue_gives_back_first_in_first_and_a_stack_last_in_first(self):
        for prog_id, size, expected in (("Voziroz.Queue", "Length", [1, "two", [3]]),
                                        ("Voziroz.Stack", "Height", [[3], "two", 1])):
            with self.subTest(prog_id=prog_id):
                container = support.create(prog_id)
                container.Init()
                for value in (1, "two", [3]):
                    container.Put(value)
                self.assertEqual(getattr(container, size), 3)
                self.assertEqual([container.Get() for _ in range(3)], expected)
                self.assertEqual(getattr(container, size), 0)


if __name__ == "__main__":
    unittest.main()
