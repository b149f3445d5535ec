#!/usr/bin/env python3
"""A scripted HTTP server for the tests: the faults a static server never makes.

Start:  python3 scripted_http.py --root DIR --port-file FILE [--log FILE] [--idle SECONDS]

It binds 127.0.0.1 on a free port and writes the port number to FILE (whole,
in one rename), so a test started under Wine can find it without waiting on
the process. It ends itself on GET /quit or after SECONDS without a request
(default 120): a Windows program cannot wait for or kill a Linux process.

Every request appends one line "PATH<TAB>USER-AGENT" to the log file.

The first path segment chooses the behaviour; the rest names a file in DIR:
  /plain/NAME            200, Content-Length, the file
  /nolength/NAME         200, no Content-Length, the file, then the connection closes
  /chunked/NAME          200, chunked transfer encoding
  /half/NAME             200, the full Content-Length, half of the file, then the connection closes
  /trickle/NAME?piece=N&ms=T
                         200, Content-Length, N bytes every T milliseconds
  /status/CODE/NAME      status CODE with a small HTML body naming the file (no body
                         for 204 and 304); a 3xx carries no Location, so it is not followed
  /endless/NAME          a range request gets 206 naming the file's true length (a size
                         query sees the right size); otherwise 200 without a length and
                         the file's bytes over and over until the client goes away
  /stall/NAME?after=N&s=S
                         200, Content-Length, the first N bytes (default 0), then nothing
                         for S seconds (default 30), then the connection closes
  /stallhead/NAME?s=S    nothing at all for S seconds (default 30), then the connection closes
  /claims/NAME?length=N  announces N bytes (Content-Length, or the total of a Content-Range
                         answer to a range request), sends the file, closes
  /errorpage/NAME        200 with an HTML "404" page instead of the file
  /redirect/NAME         302 to /plain/NAME
  /empty/NAME            200, Content-Length: 0
  /quit                  200, then the server ends
"""
import argparse
import os
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PIECE = 1 << 20


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    # ---- helpers ---------------------------------------------------------
    def file_bytes(self, name):
        path = os.path.join(self.server.root, os.path.basename(name))
        try:
            with open(path, "rb") as f:
                return f.read()
        except OSError:
            return None

    def head(self, code, length=None, ctype="application/octet-stream", extra=()):
        self.send_response(code)
        self.send_header("Content-Type", ctype)
        if length is not None:
            self.send_header("Content-Length", str(length))
        for k, v in extra:
            self.send_header(k, v)
        if length is None or code >= 300:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()

    def body(self, data):
        for at in range(0, len(data), PIECE):
            self.wfile.write(data[at:at + PIECE])

    def page(self, code, title):
        html = ("<html><head><title>%s</title></head><body><h1>%s</h1></body></html>"
                % (title, title)).encode()
        self.head(code, len(html), "text/html")
        self.body(html)

    # ---- behaviours ------------------------------------------------------
    def do_GET(self):
        self.server.touch()
        url = urllib.parse.urlsplit(self.path)
        with self.server.log_lock:
            if self.server.log:
                with open(self.server.log, "a") as f:
                    f.write("%s\t%s\n" % (self.path, self.headers.get("User-Agent", "")))
        parts = url.path.lstrip("/").split("/", 1)
        mode, rest = parts[0], parts[1] if len(parts) > 1 else ""
        query = dict(urllib.parse.parse_qsl(url.query))
        try:
            self.serve(mode, rest, query)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client went away (the priming open reads no body)

    def serve(self, mode, rest, query):
        if mode == "quit":
            self.page(200, "bye")
            threading.Thread(target=self.server.shutdown, daemon=True).start()
            return
        if mode == "status":
            code, _, name = rest.partition("/")
            if int(code) in (204, 304):
                self.head(int(code))
            else:
                self.page(int(code), "%s %s" % (code, name))
            return
        if mode == "stallhead":
            self.close_connection = True
            time.sleep(float(query.get("s", "30")))
            return
        if mode == "errorpage":
            self.page(200, "404 Not Found")
            return
        if mode == "redirect":
            self.head(302, 0, extra=[("Location", "/plain/" + rest)])
            return
        if mode == "empty":
            self.head(200, 0)
            return
        data = self.file_bytes(rest)
        if data is None:
            self.page(404, "404 Not Found")
        elif mode == "plain":
            self.head(200, len(data))
            self.body(data)
        elif mode == "nolength":
            self.head(200)
            self.body(data)
        elif mode == "half":
            self.head(200, len(data), extra=[("Connection", "close")])
            self.close_connection = True
            self.body(data[:len(data) // 2])
        elif mode == "chunked":
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for at in range(0, len(data), PIECE):
                piece = data[at:at + PIECE]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            self.wfile.write(b"0\r\n\r\n")
        elif mode == "endless":
            if self.headers.get("Range"):
                self.head(206, 1, extra=[("Content-Range", "bytes 0-0/%d" % len(data))])
                self.body(data[:1])
                return
            self.head(200)
            while data:
                self.wfile.write(data)
                self.server.touch()
        elif mode == "stall":
            after = int(query.get("after", "0"))
            self.head(200, len(data), extra=[("Connection", "close")])
            self.close_connection = True
            self.wfile.write(data[:after])
            self.wfile.flush()
            time.sleep(float(query.get("s", "30")))
        elif mode == "claims":
            length = int(query["length"])
            self.close_connection = True
            if self.headers.get("Range"):
                self.head(206, 1, extra=[("Content-Range", "bytes 0-0/%d" % length)])
                self.body(data[:1])
            else:
                self.head(200, length, extra=[("Connection", "close")])
                self.body(data)
        elif mode == "trickle":
            piece = int(query.get("piece", "1024"))
            pause = int(query.get("ms", "50")) / 1000.0
            self.head(200, len(data))
            for at in range(0, len(data), piece):
                self.wfile.write(data[at:at + piece])
                self.wfile.flush()
                self.server.touch()
                time.sleep(pause)
        else:
            self.page(404, "404 Not Found")


class Server(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, root, log, idle):
        super().__init__(("127.0.0.1", 0), Handler)
        self.root, self.log, self.idle = root, log, idle
        self.log_lock = threading.Lock()
        self.last = time.monotonic()

    def touch(self):
        self.last = time.monotonic()

    def watch_idle(self):
        while time.monotonic() - self.last < self.idle:
            time.sleep(0.5)
        self.shutdown()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    ap.add_argument("--port-file", required=True)
    ap.add_argument("--log", default="")
    ap.add_argument("--idle", type=float, default=120)
    a = ap.parse_args()
    server = Server(a.root, a.log, a.idle)
    tmp = a.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(tmp, a.port_file)
    threading.Thread(target=server.watch_idle, daemon=True).start()
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
