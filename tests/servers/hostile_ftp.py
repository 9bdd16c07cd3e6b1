"""FTP servers that misbehave, each on port 21 of its own loopback address,
so that a document's host picks the behaviour:

    127.0.0.2  accepts and never says a word
    127.0.0.3  logs in, announces the transfer and never connects
    127.0.0.4  logs in, connects and sends one byte a second for ever
    127.0.0.6  logs in; for a transfer a stranger (127.0.0.7) connects to the
               data port first with bytes of its own, then the server sends
               "the server's own bytes" from its own address

    hostile_ftp.py
"""
import re
import socket
import threading
import time


def serve_silent(conn):
    while conn.recv(4096):
        pass


def connect_from(source, address):
    data = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    data.settimeout(5)
    data.bind((source, 0))
    data.connect(address)
    return data


def serve_ftp(conn, trickle=False, stranger=False):
    conn.sendall(b"220 Ready\r\n")
    data_address = None
    reader = conn.makefile("rb")
    for raw in reader:
        line = raw.decode("latin-1").strip()
        verb = line.split(" ", 1)[0].upper()
        if verb == "USER":
            conn.sendall(b"331 Password\r\n")
        elif verb == "PASS":
            conn.sendall(b"230 In\r\n")
        elif verb in ("TYPE", "CWD"):
            conn.sendall(b"250 OK\r\n" if verb == "CWD" else b"200 OK\r\n")
        elif verb == "PORT":
            n = [int(x) for x in re.findall(r"\d+", line)]
            data_address = (".".join(map(str, n[:4])), n[4] * 256 + n[5])
            conn.sendall(b"200 OK\r\n")
        elif verb == "RETR":
            conn.sendall(b"150 Here it comes\r\n")
            if trickle and data_address:
                # From the server's own address, as the client checks.
                with connect_from(conn.getsockname()[0], data_address) as data:
                    while True:
                        data.sendall(b"x")
                        time.sleep(1)
            if stranger and data_address:
                try:
                    with connect_from("127.0.0.7", data_address) as data:
                        data.sendall(b"a stranger's bytes")
                except OSError:
                    pass
                time.sleep(0.3)
                try:
                    with connect_from("127.0.0.6", data_address) as data:
                        data.sendall(b"the server's own bytes")
                except OSError:
                    pass
                conn.sendall(b"226 Done\r\n")
        elif verb == "QUIT":
            conn.sendall(b"221 Bye\r\n")
            return
        else:
            conn.sendall(b"502 No\r\n")


def run(address, handler):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((address, 21))
    listener.listen(8)
    while True:
        conn, _ = listener.accept()

        def serve(c=conn):
            try:
                with c:
                    handler(c)
            except OSError:
                pass  # the client gave up: that is the point

        threading.Thread(target=serve, daemon=True).start()


def main():
    behaviours = [("127.0.0.2", serve_silent),
                  ("127.0.0.3", lambda c: serve_ftp(c, trickle=False)),
                  ("127.0.0.4", lambda c: serve_ftp(c, trickle=True)),
                  ("127.0.0.6", lambda c: serve_ftp(c, stranger=True))]
    for address, handler in behaviours:
        threading.Thread(target=run, args=(address, handler), daemon=True).start()
    while True:
        time.sleep(3600)


if __name__ == "__main__":
    main()
