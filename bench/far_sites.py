#!/usr/bin/env python3
"""Web sites far away, for the check benchmark: several local addresses on
one port, each answering every request only after a delay.

    far_sites.py <state dir> [--sites=10] [--delay-ms=100]

Sites on 127.0.0.1 to 127.0.0.<sites>, one port, threaded, HTTP/1.1 with
kept-alive connections: GET /<name> answers, after the delay, the file
<state dir>/www/<name> (404 when missing). Each site counts the connections
open to it at once and keeps the maximum.

A control port on 127.0.0.1 (no delay, not counted):
  /reset               each site's maximum starts again from its open count
  /stats               "<address> <maximum> <requests>" per site
  /urlwatch/<list>     runs urlwatch twice on the URLs listed in
                       <www>/<list> (one a line), with its own files in a
                       fresh temporary directory: the first run fills its
                       cache; answers "<first ms> <second ms> <exit codes>"

The ports are written to <state dir>/ports as "sites <port>" and
"control <port>" once everything listens. Ends on SIGTERM or SIGINT.
"""
import http.server
import os
import shutil
import signal
import socket
import socketserver
import subprocess
import sys
import tempfile
import threading
import time

STATE = os.path.abspath(sys.argv[1])
WWW = os.path.join(STATE, "www")
OPTIONS = dict(a[2:].split("=", 1) for a in sys.argv[2:] if a.startswith("--") and "=" in a)
SITES = int(OPTIONS.get("sites", "10"))
DELAY = int(OPTIONS.get("delay-ms", "100")) / 1000.0

lock = threading.Lock()
open_now = {}
most = {}
requests = {}


class Site(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    request_queue_size = 256
    allow_reuse_address = True


class SiteHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def setup(self):
        super().setup()
        address = self.server.server_address[0]
        with lock:
            open_now[address] += 1
            most[address] = max(most[address], open_now[address])

    def finish(self):
        address = self.server.server_address[0]
        with lock:
            open_now[address] -= 1
        super().finish()

    def do_GET(self):
        address = self.server.server_address[0]
        with lock:
            requests[address] += 1
        time.sleep(DELAY)
        try:
            with open(os.path.join(WWW, os.path.basename(self.path.split("?")[0])), "rb") as f:
                body = f.read()
            status = 200
        except OSError:
            body, status = b"<html><body>missing</body></html>\n", 404
        self.send_response(status)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def run_urlwatch(list_name):
    with open(os.path.join(WWW, os.path.basename(list_name))) as f:
        urls = [line.strip() for line in f if line.strip()]
    work = tempfile.mkdtemp(prefix="hs-urlwatch-")
    try:
        jobs = os.path.join(work, "urls.yaml")
        with open(jobs, "w") as f:
            f.write("---\n".join("url: %s\n" % u for u in urls))
        env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=work, XDG_CACHE_HOME=work)
        for key in ("http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY"):
            env.pop(key, None)
        command = ["urlwatch", "--urls", jobs, "--config", os.path.join(work, "urlwatch.yaml"),
                   "--cache", os.path.join(work, "cache.db")]
        times, codes = [], []
        for _ in range(2):
            t0 = time.monotonic()
            done = subprocess.run(command, env=env, cwd=work, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            times.append((time.monotonic() - t0) * 1000.0)
            codes.append(done.returncode)
        return "%.1f %.1f %d,%d\n" % (times[0], times[1], codes[0], codes[1])
    except OSError as e:
        return "error %s\n" % e
    finally:
        shutil.rmtree(work, ignore_errors=True)


class ControlHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, fmt, *args):
        pass

    def do_GET(self):
        if self.path == "/reset":
            with lock:
                for a in most:
                    most[a] = open_now[a]
                    requests[a] = 0
            text = "reset\n"
        elif self.path == "/stats":
            with lock:
                text = "".join("%s %d %d\n" % (a, most[a], requests[a]) for a in sorted(most))
        elif self.path.startswith("/urlwatch/"):
            text = run_urlwatch(self.path[len("/urlwatch/"):])
        else:
            text = "unknown\n"
        body = text.encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def bind_sites():
    """Every site on one port: the first chooses it, the others follow."""
    for _ in range(20):
        first = Site(("127.0.0.1", 0), SiteHandler)
        port = first.server_address[1]
        sites = [first]
        try:
            for i in range(2, SITES + 1):
                sites.append(Site(("127.0.0.%d" % i, port), SiteHandler))
            return port, sites
        except OSError:
            for s in sites:
                s.server_close()
    raise SystemExit("no port free on every address")


def main():
    os.makedirs(WWW, exist_ok=True)
    port, sites = bind_sites()
    for s in sites:
        address = s.server_address[0]
        open_now[address] = most[address] = requests[address] = 0
        threading.Thread(target=s.serve_forever, daemon=True).start()
    control = Site(("127.0.0.1", 0), ControlHandler)
    threading.Thread(target=control.serve_forever, daemon=True).start()
    with open(os.path.join(STATE, "ports.tmp"), "w") as f:
        f.write("sites %d\ncontrol %d\n" % (port, control.server_address[1]))
    os.replace(os.path.join(STATE, "ports.tmp"), os.path.join(STATE, "ports"))
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    while not stop.wait(1):
        pass


if __name__ == "__main__":
    main()
