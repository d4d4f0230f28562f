#!/usr/bin/env python3
"""Local package server for running and testing the downloader.

Serves /setup/x64.exe and /setup/x86.exe on 127.0.0.1 with HEAD and GET, one
request per connection. The packages are generated (a repeating pseudo-random
block, so any size costs no memory) unless a file is given. Stops by itself
after --time-limit seconds.

Options to misbehave: --short N sends N bytes fewer than announced, --no-length
leaves Content-Length out, --rate limits the body to KiB per second. --log
appends every request head, byte for byte, to a file. --port-file receives the
port once the server listens (use --port 0 for a free one).
"""

import argparse
import os
import random
import socket
import socketserver
import sys
import threading
import time

BLOCK = 1 << 20


def make_block(seed):
    rng = random.Random(seed)
    return bytes(rng.getrandbits(8) for _ in range(4096)) * (BLOCK // 4096)


class Package:
    def __init__(self, size=0, seed=0, path=None):
        self.path = path
        if path:
            self.size = os.path.getsize(path)
        else:
            self.size = size
            self.block = make_block(seed)

    def chunks(self, count):
        """Yields the first count bytes in pieces."""
        if self.path:
            with open(self.path, "rb") as f:
                while count > 0:
                    data = f.read(min(BLOCK, count))
                    if not data:
                        return
                    count -= len(data)
                    yield data
            return
        while count > 0:
            n = min(BLOCK, count)
            yield self.block[:n]
            count -= n


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        cfg = self.server.cfg
        sock = self.request
        sock.settimeout(10)
        head = b""
        try:
            while b"\r\n\r\n" not in head:
                data = sock.recv(4096)
                if not data:
                    return
                head += data
                if len(head) > 65536:
                    return
        except OSError:
            return
        head = head[: head.index(b"\r\n\r\n") + 4]
        if cfg.log:
            with self.server.log_lock, open(cfg.log, "ab") as f:
                f.write(head)
        parts = head.split(b"\r\n", 1)[0].split(b" ")
        method = parts[0] if parts else b""
        target = parts[1] if len(parts) > 1 else b""
        pkg = self.server.packages.get(target.decode("latin-1"))
        if method not in (b"HEAD", b"GET") or pkg is None:
            body = b"not found\n"
            reply = (b"HTTP/1.1 404 Not Found\r\nContent-Length: %d\r\nConnection: close\r\n\r\n"
                     % len(body))
            self.send(reply + (body if method == b"GET" else b""))
            return
        lines = [b"HTTP/1.1 200 OK", b"Content-Type: application/octet-stream"]
        if not cfg.no_length:
            lines.append(b"Content-Length: %d" % pkg.size)
        lines.append(b"Connection: close")
        if not self.send(b"\r\n".join(lines) + b"\r\n\r\n") or method == b"HEAD":
            return
        count = max(0, pkg.size - cfg.short)
        started = time.monotonic()
        sent = 0
        try:
            for chunk in pkg.chunks(count):
                view = memoryview(chunk)
                step = len(view) if not cfg.rate else max(1, cfg.rate * 1024 // 20)
                for i in range(0, len(view), step):
                    if not self.send(view[i:i + step]):
                        return
                    sent += min(step, len(view) - i)
                    if cfg.rate:
                        due = started + sent / (cfg.rate * 1024.0)
                        delay = due - time.monotonic()
                        if delay > 0:
                            time.sleep(delay)
        finally:
            print("GET %s: sent %d of %d bytes" % (target.decode("latin-1"), sent, pkg.size),
                  file=sys.stderr, flush=True)

    def send(self, data):
        try:
            self.request.sendall(data)
            return True
        except OSError:
            return False


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--port-file")
    ap.add_argument("--size-mb", type=float, default=24.0, help="size of each generated package")
    ap.add_argument("--x64-file", help="serve this file as the 64-bit package")
    ap.add_argument("--x86-file", help="serve this file as the 32-bit package")
    ap.add_argument("--short", type=int, default=0, help="send this many bytes fewer than announced")
    ap.add_argument("--no-length", action="store_true", help="leave Content-Length out")
    ap.add_argument("--rate", type=int, default=0, help="body speed limit in KiB/s (0: none)")
    ap.add_argument("--log", help="append every request head to this file")
    ap.add_argument("--time-limit", type=float, default=600.0, help="seconds until the server stops")
    cfg = ap.parse_args()

    size = int(cfg.size_mb * 1048576)
    packages = {
        "/setup/x64.exe": Package(path=cfg.x64_file) if cfg.x64_file else Package(size, 64),
        "/setup/x86.exe": Package(path=cfg.x86_file) if cfg.x86_file else Package(size + 4096, 86),
    }
    server = Server(("127.0.0.1", cfg.port), Handler)
    server.cfg = cfg
    server.packages = packages
    server.log_lock = threading.Lock()
    port = server.server_address[1]
    if cfg.port_file:
        tmp = cfg.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write("%d\n" % port)
        os.replace(tmp, cfg.port_file)
    print("package server on 127.0.0.1:%d for %.0f s" % (port, cfg.time_limit), file=sys.stderr)
    timer = threading.Timer(cfg.time_limit, server.shutdown)
    timer.daemon = True
    timer.start()
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
