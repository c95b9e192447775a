#!/usr/bin/env python3
"""pe_header.py EPOCH FILE...

Checks, for each PE file, the two header fields the linker fills in from the
outside world: TimeDateStamp must be EPOCH (empty: 0), and CheckSum must be
the image checksum computed here, independently of the linker and of
osslsigncode: the file summed as 16-bit little-endian words with the carry
folded back in, the CheckSum field itself left out, plus the file's length.
"""
import struct
import sys


def pe_checksum(data, field):
    length = len(data)
    if length % 2:
        data += b"\0"
    words = struct.unpack(f"<{len(data) // 2}H", data)
    total = 0
    for i, word in enumerate(words):
        if i * 2 in (field, field + 2):
            continue
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return ((total & 0xFFFF) + (total >> 16) + length) & 0xFFFFFFFF


def check(path, epoch):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe : pe + 4] != b"PE\0\0":
        return f"{path}: not a PE file"
    stamp = struct.unpack_from("<I", data, pe + 8)[0]
    field = pe + 24 + 64  # CheckSum in the optional header, PE32 and PE32+ alike
    stored = struct.unpack_from("<I", data, field)[0]
    computed = pe_checksum(data, field)
    print(f"{path}: TimeDateStamp {stamp}, CheckSum {stored:08x}, computed {computed:08x}")
    if stamp != epoch:
        return f"{path}: TimeDateStamp {stamp}, expected {epoch}"
    if stored != computed:
        return f"{path}: CheckSum {stored:08x}, computed {computed:08x}"
    return None


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__.strip().splitlines()[0])
    epoch = int(argv[1] or 0)
    faults = [f for f in (check(p, epoch) for p in argv[2:]) if f]
    for f in faults:
        print("FAIL " + f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
