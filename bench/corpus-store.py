#!/usr/bin/env python3
"""The store a program build makes of the corpus, compared between builds.

Starts each given vantorel binary (offscreen, in a private home, Network
mode) with every product of tests/data/corpus/products already in its Data-In
directory (so that one listing sees them all and the order of filing is the
same every run), waits until Data-In is empty, stops the program and lists
what it filed: the text, image and hourly directories, the receipts
(track/emwin/) and the quarantine (track/bad/), each file with its SHA-256.
With two binaries the two listings must be identical; the exit status says
whether they are.

  bench/corpus-store.py PROGRAM [OTHER_PROGRAM]
"""

import hashlib
import os
import shutil
import sys

import common

STORE = {"text": "data", "images": "img", "hourly": "sa",
         "receipts": ".local/share/vantorel/track/emwin",
         "quarantine": ".local/share/vantorel/track/bad"}


def listing(home):
    lines = []
    for label, relative in STORE.items():
        root = home / relative
        if not root.is_dir():
            continue
        for path in sorted(root.rglob("*")):
            if path.is_file():
                digest = hashlib.sha256(path.read_bytes()).hexdigest()
                lines.append(f"{label}/{path.relative_to(root)} {digest}")
    return lines


def run(program):
    home, env = common.configure("vantorel-corpus-", offscreen=True)
    try:
        for source in common.CORPUS.iterdir():
            shutil.copyfile(source, home / "in" / source.name)
        process = common.start_offscreen(program, env)
        try:
            if not common.wait_for(lambda: not os.listdir(home / "in"), 300):
                sys.exit(f"{program} left products in Data-In")
        finally:
            common.stop(process)
        return listing(home)
    finally:
        common.remove(home)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    first = run(sys.argv[1])
    print(f"{sys.argv[1]}: {len(first)} files")
    if len(sys.argv) == 2:
        print("\n".join(first))
        return 0
    second = run(sys.argv[2])
    print(f"{sys.argv[2]}: {len(second)} files")
    only_first = sorted(set(first) - set(second))
    only_second = sorted(set(second) - set(first))
    for line in only_first:
        print(f"- {line}")
    for line in only_second:
        print(f"+ {line}")
    same = not only_first and not only_second
    print("identical" if same else "DIFFERENT")
    return 0 if same else 1


if __name__ == "__main__":
    sys.exit(main())
