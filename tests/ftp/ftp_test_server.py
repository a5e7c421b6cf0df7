"""FTP server for the FTP client tests.

Usage: ftp_test_server.py ROOT USER PASSWORD COMMAND_LOG [--port N] [--no-mlst]
Serves ROOT on 127.0.0.1 to the one user USER (full rights), on port N or on a free port the
system picks, and writes that port as the first line of its standard output. Every command it
receives is appended to COMMAND_LOG (passwords masked). --no-mlst withholds MLST and MLSD, so
clients must use LIST. MKD of a folder named "hang-up-soon" succeeds and then closes the
control connection 0.2 s later, as a server does that drops an idle client. The server stops when its standard input reaches end of file, which happens when the test process that
started it ends, however it ends.
"""
import argparse
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def parse_arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("user")
    parser.add_argument("password")
    parser.add_argument("command_log")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--no-mlst", action="store_true")
    return parser.parse_args()


def make_handler(arguments):
    authorizer = DummyAuthorizer()
    authorizer.add_user(arguments.user, arguments.password, arguments.root, perm="elradfmwMT")

    class Handler(FTPHandler):
        # Active mode connects back to the client's own address (127.0.0.1), which pyftpdlib
        # permits by default; refused logins answer at once instead of after 3 s.
        auth_failed_timeout = 0

        def ftp_MKD(self, path):
            made = super().ftp_MKD(path)
            if made and path.endswith("/hang-up-soon"):
                self.ioloop.call_later(0.2, self.close)
            return made

        def pre_process_command(self, line, cmd, arg):
            shown = "PASS ******" if cmd == "PASS" else line
            with open(arguments.command_log, "a", encoding="utf-8", errors="replace") as log:
                log.write(shown + "\n")
            return super().pre_process_command(line, cmd, arg)

    Handler.authorizer = authorizer
    if arguments.no_mlst:
        Handler.proto_cmds = {name: value for name, value in FTPHandler.proto_cmds.items()
                              if name not in ("MLST", "MLSD")}
    return Handler


def main():
    arguments = parse_arguments()
    logging.basicConfig(level=logging.CRITICAL)
    server = FTPServer(("127.0.0.1", arguments.port), make_handler(arguments))
    print(server.address[1], flush=True)

    def stop_at_end_of_input():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=stop_at_end_of_input, daemon=True).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
