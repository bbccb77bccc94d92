#!/usr/bin/env python3
"""zip_python.py SOURCE ARCHIVE: the folder tree into a ZIP archive with
Python's zipfile, deflated at level 8 (a peer for the benchmark)."""
import os
import sys
import zipfile

source, archive = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=8) as z:
    for folder, dirs, files in os.walk(source):
        rel = os.path.relpath(folder, source)
        for name in files:
            path = os.path.join(folder, name)
            z.write(path, os.path.normpath(os.path.join(rel, name)))
        for name in dirs:
            z.write(os.path.join(folder, name), os.path.normpath(os.path.join(rel, name)) + "/")
