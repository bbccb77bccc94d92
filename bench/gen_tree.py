#!/usr/bin/env python3
"""Writes a benchmark tree, the same bytes on every run.

  gen_tree.py mixed DIR   about 120 MB: small text files in nested folders,
                          medium files of mixed compressibility, large text,
                          random and mostly-zero files, stored-suffix files,
                          empty files and folders
  gen_tree.py small DIR   20000 files of 200 B - 4 KB in 400 folders
  gen_tree.py many DIR    100000 files of about 100 B in 1000 folders
"""
import os
import random
import sys

WORDS = ("the of and to in is that for it as was with be by on not he this are or his from at "
         "which but have an they you were her she there been one all we their has would when if "
         "so no will more can out about time up into only other some could its than then them "
         "these two may first any like now my such over also new after most should very where "
         "backup archive folder window drop copy settings custom date report file name zip").split()


def text(rng, size):
    out = []
    n = 0
    while n < size:
        line = " ".join(rng.choices(WORDS, k=rng.randint(4, 14)))
        line = line.capitalize() + (". %d\n" % rng.randint(0, 99999) if rng.random() < 0.3 else ".\n")
        out.append(line)
        n += len(line)
    return "".join(out).encode()[:size]


def mixed_bytes(rng, size):
    """Alternating runs of text and random bytes."""
    parts = []
    n = 0
    while n < size:
        run = rng.randint(4096, 65536)
        parts.append(text(rng, run) if rng.random() < 0.5 else rng.randbytes(run))
        n += run
    return b"".join(parts)[:size]


def mostly_zero(rng, size):
    data = bytearray(size)
    for _ in range(size // 65536):
        at = rng.randrange(0, size - 512)
        data[at:at + 512] = rng.randbytes(512)
    return bytes(data)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def mixed(root):
    rng = random.Random(20240105)
    folders = [""]
    for a in range(8):
        folders.append("docs%d" % a)
        for b in range(5):
            folders.append("docs%d/part%d" % (a, b))
            if b < 2:
                folders.append("docs%d/part%d/notes" % (a, b))
    for i in range(2000):
        folder = folders[i % len(folders)]
        write(os.path.join(root, folder, "note%04d.txt" % i), text(rng, rng.randint(500, 8000)))
    kinds = [text, mixed_bytes, lambda r, n: r.randbytes(n)]
    for i in range(60):
        kind = kinds[i % 3]
        write(os.path.join(root, "media", "item%02d.dat" % i), kind(rng, rng.randint(200_000, 800_000)))
    write(os.path.join(root, "large", "log.txt"), text(rng, 26_000_000))
    write(os.path.join(root, "large", "random.bin"), rng.randbytes(20_000_000))
    write(os.path.join(root, "large", "disk.img"), mostly_zero(rng, 25_000_000))
    for i, name in enumerate(["old.zip", "photos.ZIP", "data.tar.gz", "logs.tgz", "src.Gz"]):
        write(os.path.join(root, "packed", name), rng.randbytes(1_000_000 + i * 100_000))
    for i in range(20):
        write(os.path.join(root, folders[i * 3 % len(folders)], "empty%02d" % i), b"")
    for i in range(10):
        os.makedirs(os.path.join(root, "empty", "e%d" % i), exist_ok=True)


def small(root):
    rng = random.Random(7)
    for d in range(400):
        folder = os.path.join(root, "g%02d" % (d // 20), "f%02d" % (d % 20))
        for i in range(50):
            size = rng.randint(200, 4096)
            data = text(rng, size) if i % 4 else rng.randbytes(size)
            write(os.path.join(folder, "s%02d.txt" % i), data)


def many(root):
    rng = random.Random(11)
    for d in range(1000):
        folder = os.path.join(root, "d%03d" % (d // 40), "e%02d" % (d % 40))
        os.makedirs(folder, exist_ok=True)
        for i in range(100):
            with open(os.path.join(folder, "m%02d" % i), "wb") as f:
                f.write(text(rng, rng.randint(50, 150)))


if __name__ == "__main__":
    {"mixed": mixed, "small": small, "many": many}[sys.argv[1]](sys.argv[2])
