"""FTP servers that misbehave, each on port 21 of its own loopback address,
so that a document's host picks the behaviour:

    127.0.0.2  accepts and never says a word
    127.0.0.3  logs in, announces the transfer and never connects
    127.0.0.4  logs in, connects and sends one byte a second for ever

    hostile_ftp.py
"""
import re
import socket
import threading
import time


def serve_silent(conn):
    while conn.recv(4096):
        pass


def serve_ftp(conn, trickle):
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
                with socket.create_connection(data_address, timeout=5) as data:
                    while True:
                        data.sendall(b"x")
                        time.sleep(1)
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
                  ("127.0.0.4", lambda c: serve_ftp(c, trickle=True))]
    for address, handler in behaviours:
        threading.Thread(target=run, args=(address, handler), daemon=True).start()
    while True:
        time.sleep(3600)


if __name__ == "__main__":
    main()
