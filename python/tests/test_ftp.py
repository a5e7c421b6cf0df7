"""The FTP object through the server, without an FTP server: the members before Connect and
Connect's one error of its own. (tests/ftp runs every member against a real server.)"""
import unittest

import support
import voziroz


def setUpModule():
    support.register_server()


def tearDownModule():
    support.unregister_server()


class FtpTest(unittest.TestCase):
    def setUp(self):
        self.ftp = support.create("Voziroz.FTP")

    def test_members_before_connect(self):
        self.assertIs(self.ftp.IsConnected, False)
        self.assertEqual(self.ftp.CurrentFolder(), "-?-")
        self.assertEqual(self.ftp.ListFiles(""), [])
        self.assertIs(self.ftp.ChangeFolder("docs"), False)
        self.assertIs(self.ftp.PutText("text", "a.txt"), False)
        self.assertIs(self.ftp.Disconnect(), True)

    def test_a_port_out_of_range_is_a_range_check_error(self):
        for port in (65536, -1):
            with self.subTest(port=port):
                with self.assertRaises(voziroz.AutomationError) as caught:
                    self.ftp.Connect("127.0.0.1", "user", "password", port, True)
                self.assertEqual((caught.exception.number, caught.exception.source,
                                  caught.exception.description),
                                 (support.E_UNEXPECTED, "Voziroz.FTP", "Range check error"))
        self.assertIs(self.ftp.IsConnected, False)


if __name__ == "__main__":
    unittest.main()
