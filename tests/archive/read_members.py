#!/usr/bin/env python3
"""read_members.py ARCHIVE [SOURCE_FOLDER [NAME_ENCODING]]

Reads every member of a ZIP archive with Python's zipfile and, when a source
folder is given, compares each one with the file or folder it came from (the
names' bytes are the file names' bytes, or text in NAME_ENCODING, such as gbk
for archives written by the Windows build). Prints "ok N" and exits 0, or
prints the first problem and exits 1."""
import os
import sys
import zipfile


def main():
    archive = sys.argv[1]
    root = sys.argv[2] if len(sys.argv) > 2 else None
    encoding = sys.argv[3] if len(sys.argv) > 3 else None
    try:
        with zipfile.ZipFile(archive) as z:
            infos = z.infolist()
            for info in infos:
                path = None
                if root is not None:
                    raw = (info.filename.encode("cp437") if not info.flag_bits & 0x800
                           else info.filename.encode())
                    name = raw.decode(encoding) if encoding else os.fsdecode(raw)
                    path = os.path.join(root, name)
                if info.is_dir():
                    if path is not None and not os.path.isdir(path):
                        return fail(f"{info.filename}: no such folder")
                    continue
                with z.open(info) as member:
                    source = open(path, "rb") if path is not None else None
                    try:
                        while True:
                            chunk = member.read(1 << 20)
                            if source is not None and source.read(len(chunk) or 1) != chunk:
                                return fail(f"{info.filename}: content differs")
                            if not chunk:
                                break
                    finally:
                        if source is not None:
                            source.close()
    except Exception as e:  # every failure of the reader counts
        return fail(f"{type(e).__name__}: {e}")
    print(f"ok {len(infos)}")
    return 0


def fail(message):
    print(message)
    return 1


if __name__ == "__main__":
    sys.exit(main())
