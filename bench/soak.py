#!/usr/bin/env python3
"""Soak run of the Internet ingest engine.

Streams real products at a live rate from a local stream server on
127.0.0.1 to the built `Engine --headless`, restarts the server and kills the
engine at random moments for the given time, and takes the products out of
the Data-In directory as Vantorel would. Reports products sent, written,
lost, duplicated and damaged, and the engine's resident memory.

    python3 bench/soak.py --build build --minutes 1

Every product carries a serial number in its text and a date of its own, so
that each written file can be told apart. As the broadcast does, each
product is sent twice, the second copy --repeat seconds after the first: the
engine must write it once. A product counts as expected when at least one
copy reached a connection that stayed open for --grace seconds afterwards
(what is cut off by a kill or a restart before that may be lost). Exit
status 0 when nothing expected was lost, nothing was written twice or
damaged and the engine never ended by itself, 1 otherwise.
"""
import argparse
import os
import random
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import zlib

import common

BLOCK = 1024
SYNC = b"\0" * 6
CORPUS = str(common.CORPUS)
SERIAL = re.compile(rb"SOAK ([0-9]{8})")


def packet(name, block, total, date, data, compressed):
    """One packet of the stream (the engines' packet format)."""
    padded = data[:BLOCK].ljust(BLOCK, b"\0")
    header = "/PF%s/PN %-5d/PT %-5d/CS %-7d/FD%s" % (name, block, total, sum(padded), date)
    if compressed:
        packed = zlib.compress(padded, 9)
        if len(packed) < BLOCK:
            header += "/DL%d" % len(packed)
            return SYNC + header.encode().ljust(78)[:78] + b"\r\n" + packed
    return SYNC + header.encode().ljust(78)[:78] + b"\r\n" + padded + SYNC


def xored(data):
    return bytes(b ^ 0xFF for b in data)


class Product:
    def __init__(self, serial, name, text):
        self.serial = serial
        self.name = name
        self.text = text
        date = "12/7/2026 %d:%02d:%02d PM" % (1 + serial // 3600, serial // 60 % 60, serial % 60)
        total = max(1, (len(text) + BLOCK - 1) // BLOCK)
        self.wire = xored(
            b"".join(
                packet(name, i + 1, total, date, text[i * BLOCK:(i + 1) * BLOCK], serial % 2 == 0)
                for i in range(total)
            )
        )
        self.delivered = []  # (connection, time the last byte went out)


class Connection:
    def __init__(self, sock, number):
        self.sock = sock
        self.number = number
        self.opened = time.monotonic()
        self.closed = None
        self.lock = threading.Lock()

    def close(self):
        with self.lock:
            if self.closed is None:
                self.closed = time.monotonic()
            try:
                self.sock.close()
            except OSError:
                pass


class StreamServer:
    """The live broadcast: one stream sent to every connected client."""

    def __init__(self, port):
        self.port = port
        self.listener = None
        self.clients = []
        self.connections = []
        self.lock = threading.Lock()
        self.restarts = 0

    def start(self):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        s.bind(("127.0.0.1", self.port))
        self.port = s.getsockname()[1]
        s.listen(8)
        self.listener = s
        threading.Thread(target=self._accept, args=(s,), daemon=True).start()

    def stop(self):
        if self.listener:
            try:
                self.listener.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            self.listener.close()
            self.listener = None
        with self.lock:
            clients, self.clients = self.clients, []
        for c in clients:
            c.close()

    def _accept(self, listener):
        while True:
            try:
                sock, _ = listener.accept()
            except OSError:
                return
            sock.settimeout(10)
            with self.lock:
                conn = Connection(sock, len(self.connections) + 1)
                self.connections.append(conn)
                self.clients.append(conn)
            threading.Thread(target=self._read, args=(conn,), daemon=True).start()

    def _read(self, conn):
        """Reads logons until the client goes; notes when it went."""
        while True:
            try:
                data = conn.sock.recv(4096)
            except socket.timeout:
                continue
            except OSError:
                data = b""
            if not data:
                self._drop(conn)
                return

    def _drop(self, conn):
        with self.lock:
            if conn in self.clients:
                self.clients.remove(conn)
        conn.close()

    def send(self, data):
        """Sends to every client; returns the connections that took it all."""
        with self.lock:
            clients = list(self.clients)
        took = []
        for conn in clients:
            try:
                conn.sock.sendall(data)
                took.append(conn)
            except OSError:
                self._drop(conn)
        return took


class Broadcaster(threading.Thread):
    """Makes products from the corpus and sends each twice at a byte rate."""

    def __init__(self, server, rate, repeat, rng):
        super().__init__(daemon=True)
        self.server = server
        self.rate = rate
        self.repeat = repeat
        self.rng = rng
        self.products = []
        self.stopping = threading.Event()
        self.done = threading.Event()
        names = sorted(n for n in os.listdir(CORPUS) if not n.startswith("."))
        self.corpus = []
        for n in names:
            with open(os.path.join(CORPUS, n), "rb") as f:
                self.corpus.append((n.split("@")[0], f.read()))

    def _next(self):
        name, text = self.rng.choice(self.corpus)
        serial = len(self.products) + 1
        p = Product(serial, name, text.rstrip(b"\0") + b"\r\r\nSOAK %08d\r\r\n" % serial)
        self.products.append(p)
        return p

    def _send(self, product):
        # pace by bytes: a packet at a time
        start = time.monotonic()
        data = product.wire
        step = 1200
        took = None
        for at in range(0, len(data), step):
            piece = data[at:at + step]
            sent = set(self.server.send(piece))
            took = sent if took is None else took & sent
            time.sleep(max(0.0, start + (at + len(piece)) / self.rate - time.monotonic()))
        for conn in took or ():
            product.delivered.append((conn, time.monotonic()))

    def run(self):
        repeats = []  # (due time, product)
        while True:
            now = time.monotonic()
            if repeats and repeats[0][0] <= now:
                self._send(repeats.pop(0)[1])
            elif not self.stopping.is_set():
                p = self._next()
                self._send(p)
                repeats.append((time.monotonic() + self.repeat, p))
            elif repeats:
                time.sleep(min(0.2, max(0.0, repeats[0][0] - now)))
            else:
                break
        self.done.set()


class EngineRunner:
    def __init__(self, program, port, data_in, home, log):
        self.program = program
        self.port = port
        self.data_in = data_in
        self.home = home
        self.log = log
        self.process = None
        self.starts = 0
        self.kills = 0
        self.env = common.environment(common.private_home("", home=home), offscreen=True)

    def start(self):
        self.process = subprocess.Popen(
            [self.program, "--headless", "--server", "127.0.0.1:%d" % self.port,
             "--data-in", self.data_in],
            stdout=self.log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, env=self.env)
        self.starts += 1

    def kill(self, sig=signal.SIGKILL):
        if self.process and self.process.poll() is None:
            self.process.send_signal(sig)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            self.kills += 1

    def stop(self):
        if self.process:
            common.stop(self.process)

    def rss_kb(self):
        if not self.process or self.process.poll() is not None:
            return None
        return common.status_kb(self.process.pid, "VmRSS")


class Consumer(threading.Thread):
    """Takes the files out of Data-In every half second, as Vantorel does."""

    def __init__(self, data_in):
        super().__init__(daemon=True)
        self.data_in = data_in
        self.written = {}  # serial -> list of texts
        self.unreadable = []
        self.stopping = threading.Event()

    def sweep(self):
        for name in sorted(os.listdir(self.data_in)):
            path = os.path.join(self.data_in, name)
            if name.startswith(".") or not os.path.isfile(path):
                continue
            with open(path, "rb") as f:
                text = f.read()
            os.remove(path)
            found = SERIAL.findall(text)
            if found:
                self.written.setdefault(int(found[-1]), []).append(text)
            else:
                self.unreadable.append(name)

    def run(self):
        while not self.stopping.wait(0.5):
            self.sweep()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[1])
    parser.add_argument("--build", default="build", help="build directory (Engine in DIR/src)")
    parser.add_argument("--minutes", type=float, default=1.0)
    parser.add_argument("--rate", type=int, default=2400, help="stream bytes per second")
    parser.add_argument("--repeat", type=float, default=20.0,
                        help="seconds between the two copies of a product")
    parser.add_argument("--grace", type=float, default=3.0)
    parser.add_argument("--event-every", type=float, default=0.0,
                        help="mean seconds between restarts and kills "
                        "(default: a fifth of the run, 10 to 90)")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--keep", action="store_true", help="keep the work directory")
    args = parser.parse_args()

    program = os.path.join(args.build, "src", "Engine")
    if not os.access(program, os.X_OK):
        sys.exit("soak: no engine at %s (build the Engine target)" % program)
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    rng = random.Random(seed)
    duration = args.minutes * 60
    every = args.event_every or min(90.0, max(10.0, duration / 5))
    work = tempfile.mkdtemp(prefix="vantorel-soak-")
    data_in = os.path.join(work, "Data-In")
    os.makedirs(data_in)
    log = open(os.path.join(work, "engine.log"), "wb")

    server = StreamServer(0)
    server.start()
    engine = EngineRunner(os.path.abspath(program), server.port, data_in, work, log)
    broadcaster = Broadcaster(server, args.rate, args.repeat, rng)
    consumer = Consumer(data_in)
    print("soak: seed %d, %.1f minutes, %d bytes/s, events every ~%.0f s, work %s"
          % (seed, args.minutes, args.rate, every, work), flush=True)

    engine.start()
    consumer.start()
    broadcaster.start()
    started = time.monotonic()
    memory = []  # (seconds, pid, rss kB)
    events = []
    next_event = started + rng.uniform(0.5, 1.5) * every
    restart_server = rng.random() < 0.5  # then the two kinds of event alternate
    next_sample = started + 5
    crashes = 0
    while time.monotonic() - started < duration:
        now = time.monotonic()
        if engine.process.poll() is not None:
            crashes += 1
            events.append("%.0f s: engine ended by itself (%d); started again"
                          % (now - started, engine.process.returncode))
            print("soak: " + events[-1], flush=True)
            engine.start()
        if now >= next_sample:
            rss = engine.rss_kb()
            if rss:
                memory.append((now - started, engine.process.pid, rss))
            next_sample = now + 5
        if now >= next_event and now - started < duration - args.repeat:
            down = rng.uniform(1, 3)
            if restart_server:
                events.append("%.0f s: server restart, down %.1f s" % (now - started, down))
                server.stop()
                time.sleep(down)
                server.start()
                server.restarts += 1
            else:
                sig = signal.SIGKILL if rng.random() < 0.7 else signal.SIGTERM
                events.append("%.0f s: engine %s, down %.1f s"
                              % (now - started, signal.Signals(sig).name, down))
                engine.kill(sig)
                time.sleep(down)
                engine.start()
            restart_server = not restart_server
            print("soak: " + events[-1], flush=True)
            next_event = time.monotonic() + rng.uniform(0.5, 1.5) * every
        time.sleep(0.2)
    rss = engine.rss_kb()
    if rss:
        memory.append((time.monotonic() - started, engine.process.pid, rss))
    # no new products; the repeats still due go out, then a last sweep
    broadcaster.stopping.set()
    broadcaster.done.wait(args.repeat + 60)
    time.sleep(args.grace + 2)
    consumer.stopping.set()
    consumer.join()
    consumer.sweep()
    engine.stop()
    server.stop()
    log.close()

    end = time.monotonic()
    sent = expected = lost = duplicates = damaged = unexpected = 0
    lost_names = []
    for p in broadcaster.products:
        copies = p.written = consumer.written.get(p.serial, [])
        if p.delivered:
            sent += 1
        deliverable = any(
            (conn.closed if conn.closed is not None else end) - at >= args.grace
            for conn, at in p.delivered)
        if deliverable:
            expected += 1
            if not copies:
                lost += 1
                lost_names.append("%s #%d" % (p.name, p.serial))
        elif copies:
            unexpected += 1
        duplicates += max(0, len(copies) - 1)
        damaged += sum(1 for text in copies if text != p.text)
    written = sum(1 for p in broadcaster.products if p.written)

    def at(fraction):
        if not memory:
            return "-"
        t = memory[-1][0] * fraction
        s = min(memory, key=lambda m: abs(m[0] - t))
        return "%d kB (%.0f s, pid %d)" % (s[2], s[0], s[1])

    print("soak: %d products made, %d sent to the engine, %d expected, %d written"
          % (len(broadcaster.products), sent, expected, written))
    print("soak: lost %d, duplicates %d, damaged %d, written though cut off %d, "
          "files without a serial %d" % (lost, duplicates, damaged, unexpected,
                                         len(consumer.unreadable)))
    print("soak: server restarts %d, engine kills %d, engine ended by itself %d, "
          "engine starts %d, connections %d"
          % (server.restarts, engine.kills, crashes, engine.starts, len(server.connections)))
    print("soak: engine resident memory start %s, middle %s, end %s, peak %s"
          % (at(0), at(0.5), at(1), "%d kB" % max(m[2] for m in memory) if memory else "-"))
    if lost_names:
        more = " ..." if len(lost_names) > 20 else ""
        print("soak: lost: " + ", ".join(lost_names[:20]) + more)
    if args.keep:
        print("soak: engine log and files in " + work)
    else:
        common.remove(work)
    return 0 if lost == 0 and duplicates == 0 and damaged == 0 and crashes == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
