#!/usr/bin/env python3
"""Web servers for the end-to-end tests, all on 127.0.0.1 and ephemeral ports.

    web_server.py <state dir> <http port>

Serves files from <state dir>/www over plain HTTP ("http"), over HTTPS with
a certificate of the test CA ("https"), over HTTPS with a self-signed
certificate nobody trusts ("untrusted") and over HTTPS with a certificate of
a CA nobody trusts, sent without that CA ("stranger"); a fifth port ("silent") accepts
connections and never says a word (a server silent after connecting, a TLS
handshake that stalls). The ports are written to <state dir>/ports as
"name port" lines once every server listens.

HTTPS also with start_web.sh's other certificates, asking for a client one ("askcert"), in TLS 1.1 ("tls11").

Paths:
  /files/<name>          the file <www>/<name>; 404 with a small page if missing
  /auth/<name>           the same, behind Basic authentication with the user
                         name and password held in <www>/account (first line
                         the user name, second the password)
  /redirect/<n>/<name>   n redirections (302, relative), then /files/<name>
  /loop                  redirects to itself for ever
  /headers-then-silence  an answer head announcing 1000 bytes, 10 of them, then silence
  /paced/<name>          the file <www>/<name> as it is when asked for, sent in
                         pieces of 4 KiB 20 ms apart (a retrieval that takes a while)
  /trickle?every=<s>     a head, then one byte every <s> seconds (default 2)
  /endless               a head without length, then a body without end
  /until-close/<name>    ends by closing, without close_notify (/until-notify/: with; /chunked/)
"""
import base64
import http.server
import os
import socket
import socketserver
import ssl
import sys
import threading
import time

STATE = os.path.abspath(sys.argv[1])
WWW = os.path.join(STATE, "www")
# A stalling answer ends on its own after this long, whether or not the
# client went away.
STALL_LIMIT = 600


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        with open(os.path.join(STATE, "requests.log"), "a") as log:
            log.write("%s %s %s\n" % (self.server.name, self.requestline, self.headers.get("Authorization", "-")))

    def send_body(self, status, body, content_type="text/html"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def serve_file(self, name):
        path = os.path.join(WWW, os.path.basename(name))
        try:
            with open(path, "rb") as f:
                body = f.read()
        except OSError:
            self.send_body(404, b"<html><body><h1>404 Not Found</h1>" + name.encode() + b"</body></html>\n")
            return
        self.send_body(200, body, "application/octet-stream")

    def serve_paced(self, name):
        try:
            with open(os.path.join(WWW, os.path.basename(name)), "rb") as f:
                body = f.read()
        except OSError:
            self.send_body(404, b"<html><body>missing</body></html>\n")
            return
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        try:
            for at in range(0, len(body), 4096):
                self.wfile.write(body[at:at + 4096])
                self.wfile.flush()
                time.sleep(0.02)
        except OSError:
            pass
        self.close_connection = True

    def serve_unframed(self, name, how):
        body = open(os.path.join(WWW, os.path.basename(name)), "rb").read()
        self.send_response(200)
        if how == "chunked":
            self.send_header("Transfer-Encoding", "chunked")
            body = b"%x\r\n%s\r\n0\r\n\r\n" % (len(body), body)
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True
        if how == "until-notify":
            try:
                self.request.unwrap()  # the close_notify, then the client's
            except OSError:
                pass

    def stall(self, seconds=STALL_LIMIT):
        end = time.time() + seconds
        while time.time() < end:
            time.sleep(0.5)

    def do_GET(self):
        path, _, query = self.path.partition("?")
        parts = path.split("/")[1:]
        params = dict(p.split("=", 1) for p in query.split("&") if "=" in p)
        head = parts[0] if parts else ""
        if head == "files" and len(parts) == 2:
            self.serve_file(parts[1])
        elif head == "paced" and len(parts) == 2:
            self.serve_paced(parts[1])
        elif head in ("until-close", "until-notify", "chunked") and len(parts) == 2:
            self.serve_unframed(parts[1], head)
        elif head == "auth" and len(parts) == 2:
            try:
                with open(os.path.join(WWW, "account"), "rb") as f:
                    user, password = f.read().split(b"\n")[:2]
            except (OSError, ValueError):
                user, password = b"", b""
            expected = b"Basic " + base64.b64encode(user + b":" + password)
            if self.headers.get("Authorization", "").encode() == expected:
                self.serve_file(parts[1])
            else:
                self.send_response(401)
                self.send_header("WWW-Authenticate", 'Basic realm="test"')
                self.send_header("Content-Length", "0")
                self.end_headers()
                self.close_connection = True
        elif head == "redirect" and len(parts) == 3:
            left = int(parts[1])
            target = "../%d/%s" % (left - 1, parts[2]) if left > 1 else "/files/" + parts[2]
            self.send_response(302)
            self.send_header("Location", target)
            self.send_header("Content-Length", "0")
            self.end_headers()
            self.close_connection = True
        elif head == "loop":
            self.send_response(302)
            self.send_header("Location", "/loop")
            self.send_header("Content-Length", "0")
            self.end_headers()
            self.close_connection = True
        elif head == "headers-then-silence":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(b"0123456789")
            self.wfile.flush()
            self.stall()
            self.close_connection = True
        elif head == "trickle":
            self.send_response(200)
            self.end_headers()
            end = time.time() + STALL_LIMIT
            try:
                while time.time() < end:
                    self.wfile.write(b"t")
                    self.wfile.flush()
                    time.sleep(float(params.get("every", "2")))
            except OSError:
                pass
            self.close_connection = True
        elif head == "endless":
            self.send_response(200)
            self.end_headers()
            piece = b"endless body " * 5000
            end = time.time() + STALL_LIMIT
            try:
                while time.time() < end:
                    self.wfile.write(piece)
                    time.sleep(0.02)
            except OSError:
                pass
            self.close_connection = True
        else:
            self.send_body(404, b"<html><body>no such path</body></html>\n")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, name, context=None, port=0):
        super().__init__(("127.0.0.1", port), Handler)
        self.name = name
        self.context = context

    def get_request(self):
        conn, address = self.socket.accept()
        if self.context is not None:
            # The handshake runs in the request's own thread (do_handshake
            # on first use), so a stalled client holds no other request.
            conn = self.context.wrap_socket(conn, server_side=True, do_handshake_on_connect=False)
        return conn, address

    def handle_error(self, request, client_address):
        pass  # clients that give up (bounds, refused certificates) are expected


def tls_context(cert, key, versions=None, ask_certificate=False):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(STATE, cert), os.path.join(STATE, key))
    if versions:
        context.set_ciphers("DEFAULT:@SECLEVEL=0")  # lets TLS 1.1 through
        context.minimum_version = context.maximum_version = versions
    if ask_certificate:
        context.verify_mode = ssl.CERT_OPTIONAL
        context.load_verify_locations(os.path.join(STATE, "ca.pem"))
    return context


def silent_server():
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(50)
    held = []

    def run():
        while True:
            conn, _ = listener.accept()
            held.append(conn)  # kept open, never answered

    threading.Thread(target=run, daemon=True).start()
    return listener.getsockname()[1]


def main():
    os.makedirs(WWW, exist_ok=True)
    servers = [Server("http", port=int(sys.argv[2])),
               Server("https", tls_context("server.pem", "server.key")),
               Server("untrusted", tls_context("untrusted.pem", "untrusted.key")),
               Server("stranger", tls_context("stranger.pem", "stranger.key"))]
    for name in ("wrongname", "expired", "clientonly", "revoked", "crlstall"):
        servers.append(Server(name, tls_context(name + ".pem", name + ".key")))
    servers += [Server("askcert", tls_context("server.pem", "server.key", ask_certificate=True)),
                Server("tls11", tls_context("server.pem", "server.key", ssl.TLSVersion.TLSv1_1))]
    for server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    lines = ["%s %d" % (s.name, s.server_address[1]) for s in servers]
    lines.append("silent %d" % silent_server())
    with open(os.path.join(STATE, "ports.tmp"), "w") as f:
        f.write("\n".join(lines) + "\n")
    os.replace(os.path.join(STATE, "ports.tmp"), os.path.join(STATE, "ports"))
    while True:
        time.sleep(3600)


if __name__ == "__main__":
    main()
