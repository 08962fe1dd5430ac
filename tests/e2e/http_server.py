#!/usr/bin/env python3
"""A small HTTP server for the end-to-end tests of the online services.

    http_server.py [--map FILE.json] [--dir FOLDER] [--never-answer] [--log FILE]
                   [--port-file FILE]

Binds 127.0.0.1 only, on a free port that the system chooses, and prints the port number as
the first line of standard output (and into --port-file when given). It runs until it is
killed.

Replies, first match wins:
  --never-answer  every request is read and never answered (the connection stays open), for
                  time-out tests.
  --map FILE      a JSON object from request target to reply. The target is matched as sent
                  ("/a/b.ASP?X=1", percent-escapes as they came), then percent-decoded, then
                  without its query. A reply is an object with
                    "status"        HTTP status, default 200
                    "body"          text, sent in UTF-8 unless "encoding" names another
                                    (e.g. "cp950")
                    "body_hex"      bytes given as hex digits, instead of "body"
                    "repeat"        send the body this many times (a 2 MiB reply is
                                    {"body": "x", "repeat": 2097152})
                    "content_type"  default "text/plain; charset=utf-8"; null sends none
                    "delay"         seconds to wait before replying
                    "never_answer"  true: never reply to this target
                  The map file is read afresh for every request, so a test can change the
                  replies while the server runs.
  --dir FOLDER    the file at FOLDER + the decoded path (no query), bytes as stored.
Anything else gets 404 with a small HTML error page, as a real web server sends.

--log FILE appends one line per request: the method, a tab and the target as sent.
"""

import argparse
import json
import os
import socketserver
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

NOT_FOUND_PAGE = (
    b"<!DOCTYPE html><html><head><title>404 Not Found</title></head>"
    b"<body><h1>Not Found</h1><p>The requested URL was not found on this server.</p>"
    b"</body></html>\n"
)


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, options):
        super().__init__(("127.0.0.1", 0), Handler)
        self.options = options
        self.log_lock = threading.Lock()
        self.held = []  # connections that are never answered stay referenced here


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):  # keep the test output quiet
        pass

    def record(self):
        path = self.server.options.log
        if not path:
            return
        with self.server.log_lock, open(path, "a", encoding="utf-8", errors="surrogateescape") as f:
            f.write(f"{self.command}\t{self.path}\n")

    def hold_forever(self):
        self.server.held.append(self.connection)
        self.close_connection = True
        while True:
            time.sleep(3600)

    def lookup_map(self):
        path = self.server.options.map
        if not path:
            return None
        with open(path, encoding="utf-8") as f:
            replies = json.load(f)
        decoded = urllib.parse.unquote(self.path)
        without_query = decoded.split("?", 1)[0]
        for target in (self.path, decoded, without_query):
            if target in replies:
                return replies[target]
        return None

    def send(self, status, body, content_type):
        self.send_response(status)
        if content_type:
            self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)
        self.close_connection = True

    def do_GET(self):
        self.record()
        options = self.server.options
        if options.never_answer:
            self.hold_forever()

        reply = self.lookup_map()
        if reply is not None:
            if reply.get("never_answer"):
                self.hold_forever()
            if reply.get("delay"):
                time.sleep(float(reply["delay"]))
            if "body_hex" in reply:
                body = bytes.fromhex(reply["body_hex"])
            else:
                body = reply.get("body", "").encode(reply.get("encoding", "utf-8"))
            body *= int(reply.get("repeat", 1))
            content_type = reply.get("content_type", "text/plain; charset=utf-8")
            self.send(int(reply.get("status", 200)), body, content_type)
            return

        if options.dir:
            relative = urllib.parse.unquote(self.path.split("?", 1)[0]).lstrip("/")
            root = os.path.realpath(options.dir)
            candidate = os.path.realpath(os.path.join(root, relative))
            if candidate.startswith(root + os.sep) and os.path.isfile(candidate):
                with open(candidate, "rb") as f:
                    self.send(200, f.read(), "application/octet-stream")
                return

        self.send(404, NOT_FOUND_PAGE, "text/html; charset=iso-8859-1")

    do_HEAD = do_GET


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--map")
    parser.add_argument("--dir")
    parser.add_argument("--never-answer", action="store_true")
    parser.add_argument("--log")
    parser.add_argument("--port-file")
    options = parser.parse_args()

    server = Server(options)
    port = server.server_address[1]
    if options.port_file:
        tmp = options.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(f"{port}\n")
        os.replace(tmp, options.port_file)
    print(port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
