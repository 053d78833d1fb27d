#!/usr/bin/env python3
"""Local FTP server for the FTP download tests, bound to 127.0.0.1 only.

Serves the files of --root to one user (--user/--password, read only) and
prints "READY <port>" once it listens. Options:
  --rate N        send at most N bytes per second on a data connection
  --cut NAME:K:HOW  the file NAME stops after K bytes:
                    abort  the data connection closes and the server replies 426
                    short  the data connection closes and the server replies 226
                           (a server that does not notice; SIZE still tells the
                           whole size)
                    die    the whole server ends (both connections drop)
  --no-size       refuse SIZE, so that a client learns no file size
  --log FILE      append every command received ("USER emwin", "RETR X.ZIP")
The server ends on SIGTERM, when its standard input closes, or after --lifetime s.
"""
import argparse
import os
import signal
import sys
import threading
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


class CutFile:
    """A read-only file that ends early, in one of the ways of --cut."""

    def __init__(self, fd, limit, how):
        self._fd = fd
        self._left = limit
        self._how = how
        self.name = fd.name

    @property
    def closed(self):
        return self._fd.closed

    def read(self, size=-1):
        if self._left <= 0:
            if self._how == "abort":
                raise OSError(5, "Input/output error")
            if self._how == "die":
                sys.stdout.flush()
                os._exit(0)
            return b""
        if size < 0 or size > self._left:
            size = self._left
        data = self._fd.read(size)
        self._left -= len(data)
        return data

    def seek(self, *args):
        return self._fd.seek(*args)

    def close(self):
        self._fd.close()


def make_fs(cuts):
    class CuttingFS(AbstractedFS):
        def open(self, filename, mode):
            fd = super().open(filename, mode)
            cut = cuts.get(os.path.basename(filename))
            if cut and "r" in mode:
                return CutFile(fd, cut[0], cut[1])
            return fd

    return CuttingFS


def make_handler(args):
    cuts = {}
    for spec in args.cut:
        name, limit, how = spec.split(":")
        cuts[name] = (int(limit), how)

    class Handler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            if args.log:
                with open(args.log, "a") as log:
                    log.write(line.strip() + "\n")
            return super().pre_process_command(line, cmd, arg)

        def ftp_SIZE(self, path):
            if args.no_size:
                self.respond("502 SIZE not offered here.")
                return
            return super().ftp_SIZE(path)

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elr")
    Handler.authorizer = authorizer
    Handler.abstracted_fs = make_fs(cuts)
    Handler.passive_ports = None
    Handler.masquerade_address = None
    Handler.banner = "local test server ready"
    if args.rate:
        dtp = ThrottledDTPHandler
        dtp.write_limit = args.rate
        Handler.dtp_handler = dtp
    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", default="emwin")
    parser.add_argument("--password", default="emwin")
    parser.add_argument("--rate", type=int, default=0)
    parser.add_argument("--cut", action="append", default=[])
    parser.add_argument("--no-size", action="store_true")
    parser.add_argument("--log")
    parser.add_argument("--lifetime", type=float, default=120)
    args = parser.parse_args()

    import logging
    logging.basicConfig(level=logging.ERROR)
    server = FTPServer(("127.0.0.1", 0), make_handler(args))
    port = server.socket.getsockname()[1]
    print("READY %d" % port, flush=True)

    def stop(*_):
        os._exit(0)

    signal.signal(signal.SIGTERM, stop)
    threading.Thread(target=lambda: (sys.stdin.read(), stop()), daemon=True).start()
    threading.Timer(args.lifetime, stop).start()
    server.serve_forever(timeout=0.2, handle_exit=False)


if __name__ == "__main__":
    main()
