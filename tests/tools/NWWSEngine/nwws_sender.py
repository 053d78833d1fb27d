#!/usr/bin/env python3
"""Posts product files into the Weather Wire room of a local XMPP server, in
the interface's form: a groupchat message whose element x (namespace
nwws-oi) carries cccc, ttaaii, issue, awipsid and id and, as its text, the
product with LF LF line ends after a blank line and a sequence number.

usage: nwws_sender.py --port N --ca FILE --user U --password P --domain D
                      [--rate PER_SECOND] [--repeat N] [--wait-occupants N] FILE...
Prints "sent FILE" for each product posted and "skipped FILE" for one that
XML cannot carry (control characters), then "done N"; exits 1 when it could
not join."""
import argparse
import asyncio
import logging
import re
import ssl
import sys
import xml.etree.ElementTree as ET

import slixmpp

NOT_XML = re.compile("[\x00-\x08\x0b\x0c\x0e-\x1f]")
HEADING = re.compile(rb"^([A-Z0-9]{4}[0-9]{2}) ([A-Z0-9]{4}) ([0-9]{6})( [A-Z0-9]{3})?\s*$")


def interface_form(raw, sequence):
    """The file's text from the WMO heading on, as the interface sends it."""
    lines = raw.split(b"\r\r\n")
    start = next(i for i, line in enumerate(lines[:4]) if HEADING.match(line.strip()))
    lines = lines[start:]
    if lines and lines[-1] == b"":
        lines.pop()
    if lines and lines[-1] == b"\x03":  # the broadcast's end-of-text line
        lines.pop()
    heading = HEADING.match(lines[0].strip())
    awips = lines[1].strip().decode("latin-1") if len(lines) > 1 else ""
    text = b"\n\n" + b"%03d \n\n" % (sequence % 1000) + b"".join(line + b"\n\n" for line in lines)
    return heading, awips, text.decode("utf-8", errors="replace")


class Sender(slixmpp.ClientXMPP):
    def __init__(self, args):
        super().__init__("%s@%s/sender" % (args.user, args.domain), args.password)
        self.args = args
        self.room = "nwws@conference." + args.domain
        self.sent = 0
        self.joined = False
        self.register_plugin("xep_0045")
        self.ssl_context.load_verify_locations(args.ca)
        self.add_event_handler("session_start", self.start)
        self.add_event_handler("failed_auth", lambda _: self.disconnect())

    async def start(self, _event):
        await self.plugin["xep_0045"].join_muc_wait(self.room, "sender", maxstanzas=0, timeout=10)
        self.joined = True
        await self.await_occupants()
        delay = 1.0 / self.args.rate if self.args.rate > 0 else 0
        for _ in range(self.args.repeat):
            for path in self.args.files:
                self.post(path)
                if delay:
                    await asyncio.sleep(delay)
                elif self.sent % 50 == 0:
                    await asyncio.sleep(0)
        # a last round trip so that every message has left before the end
        await self.plugin["xep_0030"].get_info(jid=self.boundjid.domain, timeout=30)
        self.disconnect()

    async def await_occupants(self):
        """Waits until the room has the given number of others in it (the
        receivers), so that none misses the first products."""
        loop = asyncio.get_event_loop()
        deadline = loop.time() + self.args.timeout / 2
        while (len(self.plugin["xep_0045"].get_roster(self.room)) - 1 < self.args.wait_occupants
               and loop.time() < deadline):
            await asyncio.sleep(0.05)

    def post(self, path):
        with open(path, "rb") as f:
            heading, awips, text = interface_form(f.read(), self.sent + 1)
        if NOT_XML.search(text):
            print("skipped %s" % path, flush=True)
            return
        msg = self.make_message(mto=self.room, mbody="%s issues %s" % (heading.group(2).decode(), awips),
                                mtype="groupchat")
        x = ET.Element("{nwws-oi}x", {
            "cccc": heading.group(2).decode(), "ttaaii": heading.group(1).decode(),
            "issue": "2026-01-01T00:00:00Z", "awipsid": awips.lower(), "id": "%d.%d" % (1000, self.sent + 1)})
        x.text = text
        msg.xml.append(x)
        msg.send()
        self.sent += 1
        print("sent %s" % path, flush=True)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--port", type=int, required=True)
    p.add_argument("--ca", required=True)
    p.add_argument("--user", required=True)
    p.add_argument("--password", required=True)
    p.add_argument("--domain", default="localhost")
    p.add_argument("--rate", type=float, default=0)
    p.add_argument("--repeat", type=int, default=1)
    p.add_argument("--wait-occupants", type=int, default=0,
                   help="others in the room before the first product is posted")
    p.add_argument("--timeout", type=float, default=600, help="seconds before giving up")
    p.add_argument("files", nargs="+")
    args = p.parse_args()
    logging.basicConfig(level=getattr(logging, __import__("os").environ.get("SENDER_LOG", "ERROR")))
    sender = Sender(args)
    sender.connect(("127.0.0.1", args.port))
    loop = asyncio.get_event_loop()
    loop.run_until_complete(asyncio.wait_for(sender.disconnected, timeout=args.timeout))
    print("done %d" % sender.sent, flush=True)
    return 0 if sender.joined else 1


if __name__ == "__main__":
    sys.exit(main())
