#!/usr/bin/env python3
"""Writes the damaged GIF files of tests/data. Each recipe is also a line of tests/data/README.md
and its expected outcome a row of tests/core/reader_test.cpp. Run from the repository
root; the output is deterministic."""
import os
import random
import struct

OUT = "tests/data"


def screen(w, h, packed=0, background=0):
    return b"GIF89a" + struct.pack("<HHBBB", w, h, packed, background, 0)


def table(n):
    return bytes(v for i in range(n) for v in (i, 255 - i, (i * 7) & 255))


def gce(packed=0, delay=0, index=0, size=4):
    return bytes([0x21, 0xF9, size, packed]) + struct.pack("<H", delay) + bytes([index, 0])


def sub_blocks(data, terminate=True):
    out = b""
    for at in range(0, len(data), 255):
        chunk = data[at:at + 255]
        out += bytes([len(chunk)]) + chunk
    return out + (b"\0" if terminate else b"")


def pack(codes):
    """(code, width) pairs, least significant bit first."""
    datum, bits, out = 0, 0, bytearray()
    for code, width in codes:
        datum |= code << bits
        bits += width
        while bits >= 8:
            out.append(datum & 255)
            datum >>= 8
            bits -= 8
    if bits:
        out.append(datum & 255)
    return bytes(out)


def literal_codes(pixels):
    """Code size 8: 9-bit literal codes with a clear before every 250, then the end code."""
    codes = []
    for i, p in enumerate(pixels):
        if i % 250 == 0:
            codes.append((256, 9))
        codes.append((p, 9))
    codes.append((257, 9))
    return pack(codes)


def image(w, h, pixels, left=0, top=0, packed=0, local=b"", terminate=True):
    return (b"\x2c" + struct.pack("<HHHHB", left, top, w, h, packed) + local + b"\x08"
            + sub_blocks(literal_codes(pixels), terminate))


def ramp(w, h):
    return [(x + y) & 255 for y in range(h) for x in range(w)]


CLEAN = screen(16, 16, 0xF7) + table(256) + gce(0x05, 10, 3) + image(16, 16, ramp(16, 16))


def files():
    rnd = random.Random(1)
    yield "empty.gif", b""
    yield "signature-only.gif", b"GIF"
    yield "lowercase-signature.gif", b"gif89a" + CLEAN[6:] + b";"
    yield "version-88a.gif", b"GIF88a" + CLEAN[6:] + b";"
    yield "truncated-header.gif", b"GIF8"
    yield "truncated-screen.gif", b"GIF89a\x40\x01\x20"
    yield "truncated-global-table.gif", screen(4, 4, 0x87) + table(256)[:10]
    yield "truncated-descriptor.gif", screen(4, 4) + b"\x2c\x01\x00\x02"
    yield "truncated-mid-image.gif", CLEAN[:len(CLEAN) // 2 + 400]
    yield "truncated-graphic-control.gif", screen(4, 4) + b"\x21\xf9\x04\x09\x2a"
    yield "truncated-local-table.gif", screen(4, 4) + b"\x2c" + struct.pack("<HHHHB", 0, 0, 2, 2, 0x87) + table(3)
    yield "oversized-screen.gif", screen(65535, 65535) + b";"
    yield "oversized-image.gif", (screen(16, 16, 0xF7) + table(256) + gce(0x01, 5, 9)
                                  + b"\x2c" + struct.pack("<HHHHB", 0, 0, 65535, 65535, 0) + b"\x08"
                                  + sub_blocks(bytes(600)) + image(2, 2, [1, 2, 3, 4]) + b";")
    yield "zero-size-image.gif", (screen(16, 16, 0xF7) + table(256) + gce(0x09, 7, 2)
                                  + b"\x2c" + struct.pack("<HHHHB", 0, 0, 0, 5, 0) + b"\x08" + sub_blocks(b"\x00\x01")
                                  + image(3, 1, [7, 8, 9]) + b";")
    garbage = bytes(rnd.choice([b for b in range(256) if b not in (0x21, 0x2C, 0x3B)]) for _ in range(500))
    at = len(CLEAN) - len(image(16, 16, ramp(16, 16)))  # where the image block starts
    yield "garbage-between-blocks.gif", CLEAN[:at] + garbage + CLEAN[at:] + garbage + image(1, 1, [5]) + b";"
    yield "endless-comment.gif", CLEAN + b"\x21\xfe" + b"".join(b"\xff" + b"A" * 255 for _ in range(300))
    # Literal codes for 40000 pixels of a 1000 x 1000 image, no end code, no terminator.
    endless = literal_codes([i % 251 for i in range(40000)])[:-2]
    yield "endless-image-data.gif", (screen(8, 8) + b"\x2c" + struct.pack("<HHHHB", 0, 0, 1000, 1000, 0)
                                     + b"\x08" + sub_blocks(endless, terminate=False))
    yield "endless-unknown-extension.gif", screen(4, 4) + b"\x21\x01" + b"\x10" * 4000
    yield "code-size-12.gif", screen(4, 4, 0xF7) + table(256) + b"\x2c" + struct.pack("<HHHHB", 0, 0, 4, 4, 0) + b"\x0c" + sub_blocks(b"\xff" * 40) + b";"
    yield "code-above-next-free.gif", (screen(4, 4, 0x81) + table(4) + b"\x2c" + struct.pack("<HHHHB", 0, 0, 4, 1, 0)
                                       + b"\x02" + sub_blocks(pack([(4, 3), (1, 3), (7, 3), (1, 3)])) + b";")
    yield "stack-overflow-chain.gif", (screen(4, 4, 0x81) + table(4) + b"\x2c" + struct.pack("<HHHHB", 0, 0, 4, 2, 0)
                                       + b"\x02" + sub_blocks(pack([(4, 3), (6, 3), (6, 3), (6, 3), (5, 3)])) + b";")
    yield "graphic-control-size-3.gif", (screen(4, 4, 0x81) + table(4) + gce(0x01, 20, 3)
                                         + image(1, 1, [0]) + bytes([0x21, 0xF9, 3, 0x00, 0x07, 0x00, 0x00])
                                         + image(1, 1, [1]) + b";")
    yield "loop-count-65535.gif", (screen(1, 1) + b"\x21\xff\x0bNETSCAPE2.0\x03\x01\xff\xff\x00" + image(1, 1, [0]) + b";")
    yield "looping-sub-block-short.gif", (screen(1, 1) + b"\x21\xff\x0bNETSCAPE2.0\x02\x01\x05\x01\x02\x00"
                                          + image(1, 1, [0]) + b";")
    yield "looping-without-count.gif", (screen(1, 1) + b"\x21\xff\x0bNETSCAPE2.0\x03\x02\x00\x10\x00"
                                        + image(1, 1, [0]) + b";")
    yield "application-size-10.gif", screen(1, 1) + b"\x21\xff\x0aNETSCAPE2." + b"0\x03\x01\x04\x00\x00" + image(1, 1, [0]) + b";"
    many = screen(1, 1) + b"".join(image(1, 1, [i & 255]) for i in range(3000))
    yield "many-tiny-frames.gif", many + b";"
    yield "all-ff.gif", b"GIF89a" + b"\xff" * 3000
    yield "all-zero.gif", b"GIF87a" + b"\x00" * 3000
    yield "trailer-in-unused-sub-block.gif", (screen(4, 4, 0x81) + table(4) + b"\x2c" + struct.pack("<HHHHB", 0, 0, 1, 1, 0)
                                              + b"\x02" + b"\x01" + pack([(4, 3), (1, 3)]) + b"\x01\x3b\x00"
                                              + image(1, 1, [2]) + b";")


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in files():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
