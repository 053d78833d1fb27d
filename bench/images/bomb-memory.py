#!/usr/bin/env python3
"""Peak memory of the running program that reopens a loop of hostile GIFs.

Starts the real vantorel binary under xvfb-run in a private home whose image
directory holds ten GIFs of 35 bytes each declaring a 5700 x 5700 screen, with
ImageShowing naming them, so that start-up reopens them as the last image
loop. Waits until the program's peak resident memory (VmHWM) has held still
for a few seconds, then prints it with what went to the quarantine.

  bench/images/bomb-memory.py BUILD_DIR [COUNT] [SIDE]   (default 10 5700)

Needs xvfb-run.
"""

import argparse
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

PREFIX = "BOMBGIFS"


def bomb(side):
    """A GIF whose logical screen is side x side, with one pixel of data."""
    header = b"GIF89a" + struct.pack("<HH", side, side) + b"\x80\x00\x00"
    colours = b"\x00\x00\x00\xff\xff\xff"
    frame = b"," + struct.pack("<HHHH", 0, 0, 1, 1) + b"\x00"
    return header + colours + frame + b"\x02\x02\x44\x01\x00;"


def configure(home):
    for d in ("data", "img", "sa", "arch", "in", ".config", "run"):
        (home / d).mkdir(parents=True, exist_ok=True)
    os.chmod(home / "run", 0o700)
    (home / ".config" / "Vantorel-v15.conf").write_text(
        "[Config]\n"
        f"TextPath={home}/data/\nGIFPath={home}/img/\nSAPath={home}/sa/\n"
        f"ArchivePath={home}/arch/\nTransferPath={home}/in/\nNetworkMode=True\n"
        f"ImageShowing={PREFIX}\n")
    return dict(os.environ, HOME=str(home), XDG_CONFIG_HOME=str(home / ".config"),
                XDG_DATA_HOME=str(home / ".local/share"), XDG_RUNTIME_DIR=str(home / "run"))


def status_kb(pid, key):
    try:
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith(key + ":"):
                return int(line.split()[1])
    except (FileNotFoundError, ProcessLookupError):
        pass
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("count", nargs="?", type=int, default=10)
    parser.add_argument("side", nargs="?", type=int, default=5700)
    args = parser.parse_args()
    build = Path(args.build).resolve()

    home = Path(tempfile.mkdtemp(prefix="vantorel-bomb-"))
    env = configure(home)
    data = bomb(args.side)
    for i in range(args.count):
        (home / "img" / f"{PREFIX}-12051{i:03d}.GIF").write_bytes(data)

    started = home / "started"
    display = subprocess.Popen(
        ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "sh", "-c",
         'echo "$$" > "$0.tmp" && mv "$0.tmp" "$0" && exec "$1"',
         str(started), str(build / "src/vantorel")],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    peak = None
    rss = None
    alive = False
    try:
        end = time.monotonic() + 20
        while not started.exists() and time.monotonic() < end:
            time.sleep(0.05)
        pid = int(started.read_text())
        # Settled: the peak unchanged for 5 s (at most a minute in all).
        still_since = time.monotonic()
        end = time.monotonic() + 60
        while time.monotonic() < end and time.monotonic() - still_since < 5:
            time.sleep(0.2)
            now = status_kb(pid, "VmHWM")
            if now is None:
                break
            if now != peak:
                peak, still_since = now, time.monotonic()
        rss = status_kb(pid, "VmRSS")
        alive = rss is not None and display.poll() is None
        if alive:
            os.kill(pid, signal.SIGTERM)
            try:
                display.wait(10)
            except subprocess.TimeoutExpired:
                pass
    finally:
        if display.poll() is None:
            os.killpg(display.pid, signal.SIGTERM)
            display.wait()

    bad_dir = home / ".local/share/vantorel/track/bad"
    quarantined = sorted(p.name for p in bad_dir.iterdir()) if bad_dir.exists() else []
    left = sorted(p.name for p in (home / "img").iterdir())
    print(f"files:        {args.count} GIFs of {len(data)} bytes declaring {args.side}x{args.side}")
    print(f"memory:       peak (VmHWM) {peak} kB = {(peak or 0) / 1024:.0f} MB, "
          f"resident (VmRSS) {rss} kB")
    print(f"quarantined:  {len(quarantined)} {' '.join(quarantined)}")
    print(f"still there:  {len(left)}; program alive {alive}")
    shutil.rmtree(home, ignore_errors=True)
    return 0 if alive else 1


if __name__ == "__main__":
    sys.exit(main())
