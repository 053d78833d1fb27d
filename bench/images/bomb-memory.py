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
import struct
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
import common  # noqa: E402

PREFIX = "BOMBGIFS"


def bomb(side):
    """A GIF whose logical screen is side x side, with one pixel of data."""
    header = b"GIF89a" + struct.pack("<HH", side, side) + b"\x80\x00\x00"
    colours = b"\x00\x00\x00\xff\xff\xff"
    frame = b"," + struct.pack("<HHHH", 0, 0, 1, 1) + b"\x00"
    return header + colours + frame + b"\x02\x02\x44\x01\x00;"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("count", nargs="?", type=int, default=10)
    parser.add_argument("side", nargs="?", type=int, default=5700)
    args = parser.parse_args()
    build = Path(args.build).resolve()

    home, env = common.configure("vantorel-bomb-", f"ImageShowing={PREFIX}\n")
    data = bomb(args.side)
    for i in range(args.count):
        (home / "img" / f"{PREFIX}-12051{i:03d}.GIF").write_bytes(data)

    peak = None
    program = common.DisplayedProgram(build / "src/vantorel", env, home)
    try:
        # Settled: the peak unchanged for 5 s (at most a minute in all).
        still_since = time.monotonic()
        end = time.monotonic() + 60
        while time.monotonic() < end and time.monotonic() - still_since < 5:
            time.sleep(0.2)
            now = common.status_kb(program.pid, "VmHWM")
            if now is None:
                break
            if now != peak:
                peak, still_since = now, time.monotonic()
        rss = common.status_kb(program.pid, "VmRSS")
        alive = rss is not None and program.alive()
    finally:
        program.stop()

    bad_dir = home / ".local/share/vantorel/track/bad"
    quarantined = sorted(p.name for p in bad_dir.iterdir()) if bad_dir.exists() else []
    left = sorted(p.name for p in (home / "img").iterdir())
    print(f"files:        {args.count} GIFs of {len(data)} bytes declaring {args.side}x{args.side}")
    print(f"memory:       peak (VmHWM) {peak} kB = {(peak or 0) / 1024:.0f} MB, "
          f"resident (VmRSS) {rss} kB")
    print(f"quarantined:  {len(quarantined)} {' '.join(quarantined)}")
    print(f"still there:  {len(left)}; program alive {alive}")
    common.remove(home)
    return 0 if alive else 1


if __name__ == "__main__":
    sys.exit(main())
