#!/usr/bin/env python3
"""Serves a set of products as a stream server on 127.0.0.1.

Each engine that connects gets every product of the directory once, in name
order, in the stream's packet form (compressed blocks for every other
product), then the connection stays open and idle. For trying the whole
chain by hand: list 127.0.0.1:PORT in engine-servers.txt (or start
`Engine --server 127.0.0.1:PORT`) and watch the program file the set.

    python3 bench/stream-set.py tests/data/corpus/products --port 22110
"""
import argparse
import os
import socket
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from soak import BLOCK, packet, xored  # noqa: E402


def stream_of(directory):
    names = sorted(n for n in os.listdir(directory)
                   if os.path.isfile(os.path.join(directory, n)) and "@" not in n)
    date = time.strftime("%-m/%-d/%Y %-I:%M:%S %p")
    wire = []
    for i, name in enumerate(names):
        with open(os.path.join(directory, name), "rb") as f:
            text = f.read()
        total = max(1, (len(text) + BLOCK - 1) // BLOCK)
        wire.append(b"".join(packet(name, b + 1, total, date, text[b * BLOCK:(b + 1) * BLOCK],
                                    i % 2 == 0) for b in range(total)))
    return names, xored(b"".join(wire))


def serve(sock, wire, count):
    try:
        sock.sendall(wire)
        print("sent %d products (%d bytes) to %s" % (count, len(wire), sock.getpeername()),
              flush=True)
        while sock.recv(4096):
            pass
    except OSError:
        pass
    finally:
        sock.close()


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("directory")
    ap.add_argument("--port", type=int, default=0)
    args = ap.parse_args()
    names, wire = stream_of(args.directory)
    listener = socket.create_server(("127.0.0.1", args.port))
    print("serving %d products on 127.0.0.1:%d" % (len(names), listener.getsockname()[1]),
          flush=True)
    while True:
        sock, _ = listener.accept()
        threading.Thread(target=serve, args=(sock, wire, len(names)), daemon=True).start()


if __name__ == "__main__":
    main()
