#!/usr/bin/env python3
"""make_zip.py ZIP DIR [MTIME]

Writes ZIP holding the folder DIR (its name as the top folder) and every file
under it, so that the same files always give the same bytes: entries in
sorted order, every time stamp MTIME (a Unix time, UTC; default and floor
1980-01-01, the earliest a zip can hold), MS-DOS attributes only (read-only
never set, so neither the umask nor the owner leaks in), no extra fields,
no comment, and the files stored rather than deflated, so that the bytes do
not depend on the zlib at hand either.
"""
import os
import sys
import time
import zipfile

DOS_DIRECTORY = 0x10


def entry(name, mtime, is_dir):
    stamp = time.gmtime(max(mtime, 315532800))[:6]
    info = zipfile.ZipInfo(name, date_time=stamp)
    info.create_system = 0
    info.external_attr = DOS_DIRECTORY if is_dir else 0
    info.compress_type = zipfile.ZIP_STORED
    return info


def main(argv):
    if len(argv) not in (3, 4):
        sys.exit(__doc__.strip().splitlines()[0])
    target, folder = argv[1], os.path.normpath(argv[2])
    mtime = int(argv[3]) if len(argv) == 4 and argv[3] else 0
    top = os.path.basename(folder)
    names = []
    for root, dirs, files in os.walk(folder):
        rel = os.path.relpath(root, os.path.dirname(folder)).replace(os.sep, "/")
        names.append((rel + "/", None))
        names.extend((rel + "/" + f, os.path.join(root, f)) for f in files)
    if not names or names[0][0] != top + "/":
        sys.exit(f"make_zip.py: {folder} is not a folder")
    with zipfile.ZipFile(target, "w") as z:
        for name, path in sorted(names):
            if path is None:
                z.writestr(entry(name, mtime, True), b"")
            else:
                with open(path, "rb") as f:
                    z.writestr(entry(name, mtime, False), f.read())


if __name__ == "__main__":
    main(sys.argv)
