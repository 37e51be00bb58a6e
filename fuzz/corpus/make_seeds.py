"""Writes the seed corpus of package_reader_fuzz (run once; the files are committed).
The first byte of each seed picks the mode: 0 setup file, 1 block stream, 2 entry stream."""

import os
import struct
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "package_reader")


def stub():
    s = bytearray(1024)
    s[0:2] = b"MZ"
    struct.pack_into("<I", s, 0x3C, 0x40)
    s[0x40:0x44] = b"PE\0\0"
    struct.pack_into("<HH", s, 0x44, 0x8664, 1)
    struct.pack_into("<HH", s, 0x54, 240, 0x22)
    section = 0x40 + 24 + 240
    struct.pack_into("<II", s, section + 16, 512, 512)
    return bytes(s)


def entries(items):
    out = bytearray()
    for name, data in items:
        out += struct.pack("<H", len(name)) + name + struct.pack("<I", len(data)) + data
    return bytes(out + struct.pack("<HI", 0, sum(sum(d) for _, d in items) & 0xFFFFFFFF))


def blocks(stream, piece):
    out = bytearray()
    for at in range(0, len(stream), piece):
        z = zlib.compress(stream[at:at + piece], 9)
        out += struct.pack("<H", len(z)) + z
    return bytes(out + b"\0\0")


ITEMS = [(b"a.txt", b"norvista " * 40), (b"empty.lng", b""), (b"b.bin", bytes(range(256)) * 33)]
SEEDS = {
    "setup": b"\0" + stub() + blocks(entries(ITEMS), 3000) + struct.pack("<I", 1024),
    "blocks": b"\1" + blocks(entries(ITEMS), 1000),
    "blocks_short": b"\1" + blocks(entries(ITEMS), 4000)[:-50],
    "entries": b"\2" + entries(ITEMS),
    "entries_bad_name": b"\2" + entries([(b"..", b"x"), (b"CON", b"")]),
    "entries_cut": b"\2" + entries(ITEMS)[:300],
}

os.makedirs(HERE, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
