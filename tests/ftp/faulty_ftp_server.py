"""A misbehaving FTP server for the FTP client's deadline tests.

Usage: faulty_ftp_server.py
Listens on two free ports of 127.0.0.1 and writes "FTP_PORT SILENT_PORT" as the first line of its
standard output. SILENT_PORT accepts connections and never says a word. FTP_PORT greets, takes
any login, and then misbehaves as the user name says:
  drip-reply    answers every command after FEAT (the last one a client sends while connecting)
                one byte each 0.1 s, without ever ending the line
  drip-data     sends listings and downloads at 10 bytes a second, without end
  endless-data  sends listings and downloads as fast as it can, without end
  deaf-data     never reads an upload
Passive mode only (EPSV, PASV). Stops when its standard input reaches end of file.
"""
import itertools
import os
import socket
import sys
import threading
import time

LISTING_LINE = b"-rw-r--r-- 1 owner group 12 Jan 01 2020 a.txt\r\n"


def listener():
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)  # inherited: deaf-data stalls soon
    server.bind(("127.0.0.1", 0))
    server.listen(8)
    return server


def drip(sock, data):
    for byte in itertools.cycle(data):
        sock.sendall(bytes([byte]))
        time.sleep(0.1)


def send_data(data_sock, behaviour):
    if behaviour == "drip-data":
        drip(data_sock, LISTING_LINE)
    elif behaviour == "endless-data":
        block = LISTING_LINE * 1024
        while True:
            data_sock.sendall(block)
    elif behaviour == "deaf-data":
        threading.Event().wait()
    else:
        data_sock.sendall(LISTING_LINE)


class Session:
    def __init__(self, control):
        self.control = control
        self.lines = control.makefile("rb")
        self.behaviour = ""
        self.dripping = False
        self.passive = None

    def reply(self, text):
        if self.dripping:
            drip(self.control, text.encode() + b" and so on")
        self.control.sendall(text.encode() + b"\r\n")

    def open_passive(self):
        self.passive = listener()
        return self.passive.getsockname()[1]

    def transfer(self, verb):
        if not self.passive:
            return self.reply("425 use PASV or EPSV first")
        self.reply("150 here it comes")
        data_sock, _ = self.passive.accept()
        self.passive.close()
        self.passive = None
        if verb == "STOR" and self.behaviour != "deaf-data":
            while data_sock.recv(65536):
                pass
        else:
            send_data(data_sock, self.behaviour)
        data_sock.close()
        self.reply("226 done")

    def serve(self):
        self.reply("220 faulty server ready")
        for raw in self.lines:
            verb, _, argument = raw.decode("latin-1").strip().partition(" ")
            verb = verb.upper()
            if verb == "USER":
                self.behaviour = argument
                self.reply("331 any password")
            elif verb == "PASS":
                self.reply("230 logged in")
            elif verb == "FEAT":
                self.reply("211 no features")
                self.dripping = self.behaviour == "drip-reply"
            elif verb == "PWD":
                self.reply('257 "/" is the folder')
            elif verb == "EPSV":
                self.reply(f"229 passive (|||{self.open_passive()}|)")
            elif verb == "PASV":
                port = self.open_passive()
                self.reply(f"227 passive (127,0,0,1,{port // 256},{port % 256})")
            elif verb in ("LIST", "NLST", "MLSD", "RETR", "STOR"):
                self.transfer(verb)
            elif verb == "QUIT":
                return self.reply("221 bye")
            elif verb in ("SIZE", "MDTM", "MLST"):
                self.reply("502 not implemented")
            else:
                self.reply("200 ok")


def serve_session(control):
    try:
        Session(control).serve()
    except OSError:
        pass  # the client gave up, as the tests expect
    finally:
        control.close()


def accept_forever(server, handle):
    while True:
        connection, _ = server.accept()
        threading.Thread(target=handle, args=(connection,), daemon=True).start()


def main():
    ftp, silent = listener(), listener()
    silenced = []  # kept open, never answered
    threading.Thread(target=accept_forever, args=(ftp, serve_session), daemon=True).start()
    threading.Thread(target=accept_forever, args=(silent, silenced.append), daemon=True).start()
    print(ftp.getsockname()[1], silent.getsockname()[1], flush=True)
    sys.stdin.read()
    os._exit(0)


if __name__ == "__main__":
    main()
