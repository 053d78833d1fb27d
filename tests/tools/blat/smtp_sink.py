#!/usr/bin/env python3
"""Local SMTP server for the mailer tests, bound to 127.0.0.1 only.

Prints "READY <port>" once it listens. Every accepted message is written to
OUTDIR as NNN.eml (the data as received) and NNN.json (envelope, TLS, login).
Modes:
  normal  an aiosmtpd server; --cert/--key offer STARTTLS, --auth USER:PASS
          requires a login (over TLS only), --reject ADDR refuses a recipient
  silent  accepts connections and never answers (for time-out tests)
  lostreply  like normal, but drops the connection after storing a message,
          before answering its end of data
Every login attempt is appended to OUTDIR/auth.txt (the user name only).
The server ends on SIGTERM, when its standard input closes, or after --lifetime s.
"""
import argparse
import asyncio
import json
import os
import signal
import socket
import ssl
import sys
import threading
import time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Sink:
    def __init__(self, outdir, reject, lost_reply):
        self.outdir = outdir
        self.reject = {r.lower() for r in reject}
        self.lost_reply = lost_reply
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.reject:
            return "550 5.1.1 No such user"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.outdir, "%03d" % self.count)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        meta = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "tls": session.ssl is not None,
            "login": getattr(session.auth_data, "login", b"").decode("utf-8", "replace"),
        }
        with open(base + ".json", "w") as f:
            json.dump(meta, f)
        if self.lost_reply:
            server.transport.abort()
        return "250 Message accepted"


def make_authenticator(user, password, outdir):
    def authenticate(server, session, envelope, mechanism, auth_data):
        if isinstance(auth_data, LoginPassword):
            with open(os.path.join(outdir, "auth.txt"), "a") as f:
                f.write(auth_data.login.decode("utf-8", "replace") + "\n")
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == user
              and auth_data.password.decode() == password)
        if ok:
            return AuthResult(success=True, auth_data=auth_data)
        return AuthResult(success=False, handled=False)
    return authenticate


def run_silent(port, stop):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(5)
    listener.settimeout(0.2)
    held = []
    print("READY %d" % port, flush=True)
    while not stop.is_set():
        try:
            conn, _ = listener.accept()
            held.append(conn)
        except socket.timeout:
            pass
    for conn in held:
        conn.close()
    listener.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--outdir", required=True)
    parser.add_argument("--mode", default="normal", choices=["normal", "silent", "lostreply"])
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--auth")
    parser.add_argument("--reject", action="append", default=[])
    parser.add_argument("--lifetime", type=float, default=90)
    args = parser.parse_args()

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    threading.Thread(target=lambda: (sys.stdin.read(), stop.set()), daemon=True).start()
    threading.Timer(args.lifetime, stop.set).start()
    port = free_port()

    if args.mode == "silent":
        run_silent(port, stop)
        return

    params = {}
    if args.cert:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)
        params["tls_context"] = context
    if args.auth:
        user, password = args.auth.split(":", 1)
        params["authenticator"] = make_authenticator(user, password, args.outdir)
        params["auth_required"] = True
    controller = Controller(Sink(args.outdir, args.reject, args.mode == "lostreply"),
                            hostname="127.0.0.1",
                            port=port, **params)
    controller.start()
    print("READY %d" % port, flush=True)
    while not stop.wait(0.2):
        pass
    controller.stop()


if __name__ == "__main__":
    main()
    os._exit(0)
