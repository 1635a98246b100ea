#!/usr/bin/env python3
"""A tile server on the loopback interface for the tile fetcher's tests.

Starts on a free port and prints "port N". Then reads one JSON command a line
on standard input and answers each with one line on standard output:

  {"cmd": "tile", "path": "/3/1/2.png", "body": "...", "status": 200,
   "headers": {"Cache-Control": "max-age=60"}, "etag": "\\"v1\\"",
   "delay": 0.0, "hang": false}                          -> ok
      what the path answers from now on; with "etag", a request whose
      If-None-Match matches gets a 304 with the same headers; "hang" never
      answers; "delay" waits that many seconds first
  {"cmd": "count", "path": "/3/1/2.png"}  -> requests for the path
  {"cmd": "total"}                        -> requests for all paths
  {"cmd": "max_connections"}              -> most connections open at once
  {"cmd": "header", "path": ..., "name": "If-None-Match"}
                                          -> that header of the path's last
                                             request ("" when it had none)
  {"cmd": "user_agents"}                  -> the distinct User-Agents, " | "
  {"cmd": "reset"}                        -> ok (counts start again)

Paths it was not told of answer 404. End of input stops the server.

With "--connect PORT" the commands come from, and the answers go to, a
connection the server makes to that loopback port instead (the Windows tests
under Wine, which cannot give a Linux program pipes).
"""

import http.server
import json
import os
import socket
import sys
import threading
import time

lock = threading.Lock()
tiles = {}
counts = {}
last_headers = {}
user_agents = []
open_connections = 0
max_connections = 0
stopping = threading.Event()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def setup(self):
        global open_connections, max_connections
        super().setup()
        with lock:
            open_connections += 1
            max_connections = max(max_connections, open_connections)

    def finish(self):
        global open_connections
        try:
            super().finish()
        finally:
            with lock:
                open_connections -= 1

    def log_message(self, *args):
        pass

    def do_GET(self):
        with lock:
            counts[self.path] = counts.get(self.path, 0) + 1
            last_headers[self.path] = dict(self.headers.items())
            agent = self.headers.get("User-Agent", "")
            if agent not in user_agents:
                user_agents.append(agent)
            tile = tiles.get(self.path)
        if tile is None:
            self.answer(404, {}, b"no such tile")
            return
        if tile.get("hang"):
            stopping.wait()
            return
        if tile.get("delay"):
            time.sleep(tile["delay"])
        headers = dict(tile.get("headers", {}))
        etag = tile.get("etag")
        if etag:
            headers["ETag"] = etag
            if self.headers.get("If-None-Match") == etag:
                self.answer(304, headers, b"")
                return
        self.answer(tile.get("status", 200), headers, tile.get("body", "").encode("latin-1"))

    def answer(self, status, headers, body):
        self.send_response(status)
        for name, value in headers.items():
            self.send_header(name, value)
        if status != 304:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if status != 304:
            self.wfile.write(body)


def command(line):
    global max_connections
    request = json.loads(line)
    name = request["cmd"]
    with lock:
        if name == "tile":
            tiles[request["path"]] = request
            return "ok"
        if name == "count":
            return str(counts.get(request["path"], 0))
        if name == "total":
            return str(sum(counts.values()))
        if name == "max_connections":
            return str(max_connections)
        if name == "header":
            return last_headers.get(request["path"], {}).get(request["name"], "")
        if name == "user_agents":
            return " | ".join(user_agents)
        if name == "reset":
            counts.clear()
            last_headers.clear()
            user_agents.clear()
            max_connections = open_connections
            return "ok"
    return "unknown command " + name


def channel(arguments):
    if arguments[:1] == ["--connect"]:
        connection = socket.create_connection(("127.0.0.1", int(arguments[1])))
        return connection.makefile("r", encoding="utf-8"), connection.makefile("w", encoding="utf-8")
    return sys.stdin, sys.stdout


def main():
    commands, answers = channel(sys.argv[1:])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("port %d" % server.server_address[1], file=answers, flush=True)
    for line in commands:
        if line.strip():
            print(command(line).replace("\n", " "), file=answers, flush=True)
    stopping.set()
    # Hanging handlers and open connections need not be waited for.
    os._exit(0)


if __name__ == "__main__":
    main()
