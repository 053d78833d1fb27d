#!/usr/bin/env python3
"""The running program under a burst, as a user's machine sees it.

First times the floor: the bare system calls of the same filing work on the
same products (list the directory sorted; for each file open it and read its
head, rotate its key's three older versions by rename, rename it into the
store, write its receipt). Then starts the real vantorel binary under xvfb-run in a private home (Network
mode, 999 alarm definitions), renames N corpus products into its Data-In
directory at once and times until Data-In is empty; then renames tornado
warnings in one at a time and times each from the rename to its line in the
alarm log. Takes a screenshot after the burst when asked.

  bench/program-burst.py BUILD_DIR [N] [SAMPLES] [--shot FILE] [--perf FILE]

Needs xvfb-run (ImageMagick's import for --shot, perf for --perf: a call-graph
profile of the program during the burst).
"""

import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import time
from pathlib import Path

import common

WARNING = common.CORPUS / "TORDMXIA.TXT"


def empty(directory):
    with os.scandir(directory) as entries:
        return next(entries, None) is None


def log_size(path):
    try:
        return path.stat().st_size
    except FileNotFoundError:
        return 0


def cpu_seconds(pid):
    """User and system CPU time of a process so far."""
    fields = Path(f"/proc/{pid}/stat").read_text().rpartition(")")[2].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def stage(products, count, directory):
    """count copies of the corpus products in directory; every text copy made
    unique by a last line, so that each one is filed, not dropped as a repeat."""
    for i in range(count):
        source = products[i % len(products)]
        target = directory / f"{source.name}@b{i}"
        if source.suffix.upper() == ".TXT" and i >= len(products):
            target.write_bytes(source.read_bytes() + f"\r\r\nCOPY {i}\r\r\n".encode())
        else:
            shutil.copyfile(source, target)


def floor(products, count, home):
    """Seconds (wall, CPU) the bare system calls of filing count products take."""
    data_in, store, receipts = home / "floor-in", home / "floor-store", home / "floor-receipts"
    for d in (data_in, store, receipts):
        d.mkdir()
    stage(products, count, data_in)
    begin, cpu = time.monotonic(), os.times()
    for name in sorted(os.listdir(data_in)):
        path = data_in / name
        with open(path, "rb") as product:
            product.read(4096)
        key = name.upper().partition("@")[0]
        base = str(store / key)
        for older, newer in ((base + ".2", base + ".3"), (base + ".1", base + ".2"),
                             (base, base + ".1")):
            try:
                os.rename(older, newer)
            except FileNotFoundError:
                pass
        os.rename(path, base)
        with open(receipts / key, "wb") as receipt:
            receipt.write(key.encode() + b"\r\n")
    seconds, after = time.monotonic() - begin, os.times()
    for d in (data_in, store, receipts):
        shutil.rmtree(d)
    return seconds, (after.user - cpu.user) + (after.system - cpu.system)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("count", nargs="?", type=int, default=10000)
    parser.add_argument("samples", nargs="?", type=int, default=50)
    parser.add_argument("--shot")
    parser.add_argument("--perf")
    args = parser.parse_args()
    build = Path(args.build).resolve()

    home, env = common.configure("vantorel-burst-", extra_dirs=("staging",))
    program_dir = common.program_dir(home)
    program_dir.mkdir(parents=True)
    subprocess.run([str(build / "bench/bench_startup"), "--write-alarm-file",
                    str(program_dir / "alarm-v15.cfg")], check=True, env=env)
    data_in, staging = home / "in", home / "staging"
    products = sorted(p for p in common.CORPUS.iterdir() if p.is_file())
    floor_seconds, floor_cpu = floor(products, args.count, home)
    stage(products, args.count, staging)

    program = common.DisplayedProgram(build / "src/vantorel", env, home)
    pid, env["DISPLAY"], env["XAUTHORITY"] = program.pid, program.display, program.xauthority
    try:
        time.sleep(3)  # start-up, first pass over an empty Data-In

        profiler = None
        if args.perf:
            profiler = subprocess.Popen(["perf", "record", "-q", "-F", "250", "--call-graph", "dwarf,32768", "-p", str(pid), "-o",
                                         args.perf], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
            time.sleep(1)  # perf attaches
        begin, cpu_before = time.monotonic(), cpu_seconds(pid)
        for name in os.listdir(staging):
            os.rename(staging / name, data_in / name)
        renamed = time.monotonic()
        common.wait_for(lambda: empty(data_in) or not program.alive(), 900)
        drained = empty(data_in)
        burst, burst_cpu = time.monotonic() - begin, cpu_seconds(pid) - cpu_before
        if profiler:
            profiler.send_signal(signal.SIGINT)
            profiler.wait()
        if args.shot:
            subprocess.run(["import", "-display", env["DISPLAY"], "-window", "root", args.shot],
                           env=env)

        log = program_dir / "weather.txt"
        warning = WARNING.read_bytes()
        latencies = []
        for i in range(args.samples):
            (staging / f"TORDMXIA.TXT@lat{i}").write_bytes(
                warning + f"\r\r\nSAMPLE {i}\r\r\n".encode())
            before = log_size(log)
            dropped = time.monotonic()
            os.rename(staging / f"TORDMXIA.TXT@lat{i}", data_in / f"TORDMXIA.TXT@lat{i}")
            if common.wait_for(lambda: log_size(log) > before, 5, 0.0005):
                latencies.append((time.monotonic() - dropped) * 1000)
            time.sleep(0.05)
        alive = program.alive()
        memory = {key: common.status_kb(pid, key) for key in ("VmRSS", "VmHWM")}
    finally:
        program.stop()

    filed = sum(1 for _ in (home / "data").iterdir())
    quarantined = home / ".local/share/vantorel/track/bad"
    bad = sum(1 for _ in quarantined.iterdir()) if quarantined.exists() else 0
    print(f"products:          {args.count} ({len(products)} corpus files), "
          f"renamed in {1000 * (renamed - begin):.0f} ms")
    print(f"burst:             {burst:.2f} s, {args.count / burst:.0f} products/s"
          f"{'' if drained else ' (Data-In NOT empty)'}")
    print(f"floor:             {floor_seconds:.2f} s, {args.count / floor_seconds:.0f} products/s"
          f" (program takes {burst / floor_seconds:.1f} times the floor)")
    print(f"CPU time:          program {burst_cpu:.2f} s, floor {floor_cpu:.2f} s"
          f" ({burst_cpu / max(floor_cpu, 0.01):.1f} times; less sensitive to a loaded machine)")
    if latencies:
        latencies.sort()
        p99 = latencies[min(len(latencies) - 1, int(0.99 * len(latencies)))]
        print(f"drop-to-alarm log: p50 {statistics.median(latencies):.1f} ms, p99 {p99:.1f} ms, "
              f"max {latencies[-1]:.1f} ms ({len(latencies)} of {args.samples} alarmed)")
    print(f"memory:            resident {memory['VmRSS'] or '?'} kB, "
          f"peak {memory['VmHWM'] or '?'} kB")
    print(f"store:             {filed} files, quarantined {bad}, program alive {alive}")
    common.remove(home)
    return 0 if drained and alive and bad == 0 and len(latencies) == args.samples else 1


if __name__ == "__main__":
    sys.exit(main())
