"""A misbehaving FTP server for the FTP client's deadline tests.

Listens on two free ports of 127.0.0.1 and writes "FTP_PORT SILENT_PORT" as its first line.
SILENT_PORT accepts and never says a word. FTP_PORT takes any login and then, by user name:
drip-reply answers every command after FEAT (the last one sent while connecting) one byte each
0.1 s without ever ending the line; drip-data sends listings and downloads at 10 bytes a second,
endless-data as fast as it can, both without end; deaf-data never reads an upload. Passive mode
only. Stops when its standard input reaches end of file.
"""
import itertools
import os
import socket
import sys
import threading
import time

LINE = b"-rw-r--r-- 1 owner group 12 Jan 01 2020 a.txt\r\n"


def listener():
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)  # deaf-data stalls soon
    server.bind(("127.0.0.1", 0))
    server.listen(8)
    return server


def drip(sock, data):
    for byte in itertools.cycle(data):
        sock.sendall(bytes([byte]))
        time.sleep(0.1)


def send_data(sock, behaviour):
    if behaviour == "drip-data":
        drip(sock, LINE)
    while behaviour == "endless-data":
        sock.sendall(LINE * 1024)
    sock.sendall(LINE)


def serve(control):
    behaviour, dripping, passive = "", False, None

    def reply(text):
        if dripping:
            drip(control, text.encode() + b" and so on")
        control.sendall(text.encode() + b"\r\n")

    reply("220 faulty server ready")
    for raw in control.makefile("rb"):
        verb, _, argument = raw.decode("latin-1").strip().partition(" ")
        verb = verb.upper()
        if verb == "USER":
            behaviour = argument
            reply("331 any password")
        elif verb == "FEAT":
            reply("211 no features")
            dripping = behaviour == "drip-reply"
        elif verb == "PWD":
            reply('257 "/" is the folder')
        elif verb in ("EPSV", "PASV"):
            passive = listener()
            port = passive.getsockname()[1]
            reply(f"229 passive (|||{port}|)" if verb == "EPSV" else
                  f"227 passive (127,0,0,1,{port // 256},{port % 256})")
        elif verb in ("LIST", "NLST", "MLSD", "RETR", "STOR") and passive:
            reply("150 here it comes")
            data, _ = passive.accept()
            passive.close()
            if verb != "STOR":
                send_data(data, behaviour)
            elif behaviour == "deaf-data":
                threading.Event().wait()
            while verb == "STOR" and data.recv(65536):
                pass
            data.close()
            reply("226 done")
        elif verb == "QUIT":
            return reply("221 bye")
        else:
            reply("502 not implemented" if verb in ("SIZE", "MDTM", "MLST") else "230 ok")


def serve_session(control):
    try:
        serve(control)
    except OSError:
        pass  # the client gave up, as the tests expect
    control.close()


def accept_forever(server, handle):
    while True:
        connection, _ = server.accept()
        threading.Thread(target=handle, args=(connection,), daemon=True).start()


def main():
    ftp, silent = listener(), listener()
    kept = []  # the silent port's connections, open and unanswered
    threading.Thread(target=accept_forever, args=(ftp, serve_session), daemon=True).start()
    threading.Thread(target=accept_forever, args=(silent, kept.append), daemon=True).start()
    print(ftp.getsockname()[1], silent.getsockname()[1], flush=True)
    sys.stdin.read()
    os._exit(0)


if __name__ == "__main__":
    main()
