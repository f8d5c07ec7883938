#!/usr/bin/env python3
"""Makes the hostile box files: small inputs that once cost seconds of CPU or
gigabytes of memory, each guarded by a CTest run of quorvel-dump.

Run:  python3 tests/hostile/make_hostile.py OUTDIR          # every case
      python3 tests/hostile/make_hostile.py --list          # the case names
      python3 tests/hostile/make_hostile.py --expect NAME   # what the run must show
      python3 tests/hostile/make_hostile.py --jpeg W H SCANS [--dense] OUT.jpg
      python3 tests/hostile/make_hostile.py --sequential W H COMPONENTS MAGNITUDE OUT.jpg
      python3 tests/hostile/make_hostile.py --rle W H OUT.bmp

The last three write bare pictures for bench/cover_bench: a progressive
JPEG, a sequential one whose every coefficient is set (the costliest
Huffman-coded JPEG a byte), and the longest run-length BMP the cover bounds
accept for its size.

Files are made at test time into the build folder and never committed; the
2 GiB one is sparse. Box files come from tools/boxwriter.py; the
arithmetic-coded JPEG comes from jpegtran (Debian libjpeg-turbo-progs).
Adding a case is one entry in CASES.
"""

import argparse
import json
import os
import random
import struct
import subprocess
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools"))
from boxwriter import build_header, compress_block, token  # noqa: E402

MIB = 1 << 20
JPEG_FLAGS, COVER_COMPRESSED, DATA_COMPRESSED = 0x01, 0x40, 0x80


# ---------------------------------------------------------------- box files

def box(flags=0, cover=b"", data=b"", magic="MIRAX4.0"):
    head = {"magic": magic, "exportDate": "20061224", "exportTime": "183000", "flags": flags}
    return build_header(head, len(cover), False, False) + cover + data


def zeros_block(size):
    """A stored compressed block of `size` zero bytes, deflated a MiB at a
    time so 512 MiB never sit in memory."""
    engine, chunk = zlib.compressobj(9), bytes(MIB)
    parts = [engine.compress(chunk[:min(MIB, size - at)]) for at in range(0, size, MIB)]
    return struct.pack("<I", size) + b"".join(parts) + engine.flush()


def language_refs(count):
    """Two 255-byte language definitions, then `count` references to both:
    five input bytes give a line of about 530."""
    tokens = token(0x59, b"L" * 255) + token(0x5A, b"S" * 255) + token(0x5B, b"1#1") * count
    return box(DATA_COMPRESSED, data=compress_block(tokens))


# libstdc++'s std::hash for strings: 64-bit Murmur with a fixed, public seed.
MUL = 0xC6A4A7935BD1E995
MUL_INV = pow(MUL, -1, 1 << 64)
SEED = 0xC70F6907
MASK = (1 << 64) - 1


def shift_mix(v):
    return v ^ (v >> 47)  # its own inverse, 47 being at least 32


def block_mix(word):
    return (shift_mix((word * MUL) & MASK) * MUL) & MASK


def block_unmix(mixed):
    return (shift_mix((mixed * MUL_INV) & MASK) * MUL_INV) & MASK


def colliding_texts(count, rng):
    """`count` 16-byte texts, unchanged by ASCII case folding, that share one
    hash: the first 8 bytes are free, the last 8 steer the state to a fixed
    value."""
    target = 0x0123456789ABCDEF
    start = SEED ^ ((16 * MUL) & MASK)
    letters = b"abcdefghijklmnopqrstuvwxyz"
    texts = set()
    while len(texts) < count:
        first = bytes(rng.choice(letters) for _ in range(8))
        state = ((start ^ block_mix(int.from_bytes(first, "little"))) * MUL) & MASK
        # (state ^ mix(second)) * MUL == target
        second = block_unmix(((target * MUL_INV) & MASK) ^ state).to_bytes(8, "little")
        if 0 in second or any(0x41 <= c <= 0x5A for c in second):
            continue
        texts.add(first + second)
    return sorted(texts)


def hash_collisions(count):
    rng = random.Random(14)
    tokens = b"".join(token(0x59, t) for t in colliding_texts(count, rng))
    return box(0, data=tokens)


def resets_after_big_table(definitions, resets):
    """A huge table, then many empty person blocks, each emptying all tables."""
    tokens = b"".join(token(0x59, b"%07d" % i) for i in range(definitions))
    tokens += b"\x5E\x00\x80\x00" * resets
    return box(DATA_COMPRESSED, data=compress_block(tokens))


class BitWriter:
    def __init__(self):
        self.bits, self.count, self.out = 0, 0, bytearray()

    def put(self, value, width):
        self.bits = (self.bits << width) | value
        self.count += width
        while self.count >= 8:
            self.count -= 8
            byte = (self.bits >> self.count) & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0)  # stuffed, so no marker is seen
        self.bits &= (1 << self.count) - 1

    def done(self):
        if self.count:
            self.put((1 << (8 - self.count)) - 1, 8 - self.count)
        return bytes(self.out)


def segment(marker, body):
    return bytes([0xFF, marker]) + struct.pack(">H", len(body) + 2) + body


def eob_runs(writer, blocks, bits_per_block=0):
    """End-of-band runs covering `blocks` blocks; AC symbol r<<4 (r 0-14)
    has the 4-bit code r and r extra bits. In a refinement scan each block
    of a run then reads `bits_per_block` correction bits (0: no change)."""
    while blocks > 0:
        run = min(blocks, 32767)
        r = run.bit_length() - 1
        writer.put(r, 4)
        if r:
            writer.put(run - (1 << r), r)
        for _ in range(run * bits_per_block // 32):
            writer.put(0, 32)
        writer.put(0, run * bits_per_block % 32)
        blocks -= run


def progressive_jpeg(width, height, scans, dense=False):
    """A progressive grayscale JPEG of one DC scan and `scans` - 1 AC scans
    over the whole picture. Cheap scans are one end-of-band run after
    another; dense ones (the costliest per byte) set all 63 coefficients of
    every block once, then refine them all, one correction bit each."""
    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    dc_table = bytes([0x00]) + bytes([1] + [0] * 15) + bytes([0x00])
    # Fifteen end-of-band symbols with 4-bit codes, then 0x01 (a coefficient
    # of magnitude 1) with the 5-bit code 11110.
    ac_symbols = [r << 4 for r in range(15)] + [0x01]
    ac_table = bytes([0x10]) + bytes([0, 0, 0, 15, 1] + [0] * 11) + bytes(ac_symbols)
    parts = [b"\xFF\xD8",
             segment(0xDB, bytes([0]) + bytes([1] * 64)),
             segment(0xC2, struct.pack(">BHHB", 8, height, width, 1) + bytes([1, 0x11, 0])),
             segment(0xC4, dc_table + ac_table)]

    def scan(ss, se, ah, al):
        return segment(0xDA, bytes([1, 1, 0x00, ss, se, (ah << 4) | al]))

    writer = BitWriter()
    for _ in range(blocks // 32):
        writer.put(0, 32)  # DC difference category 0, code 0
    writer.put(0, blocks % 32)
    parts += [scan(0, 0, 0, 0), writer.done()]
    if dense:
        coefficient = (0b11110 << 1) | 1  # symbol 0x01, positive
        writer = BitWriter()
        for _ in range(blocks):
            for _ in range(9):
                writer.put((coefficient << 36) | (coefficient << 30) | (coefficient << 24) |
                           (coefficient << 18) | (coefficient << 12) | (coefficient << 6) |
                           coefficient, 42)
        parts += [scan(1, 63, 0, 1), writer.done()]
        refine = BitWriter()
        eob_runs(refine, blocks, 63)
        parts += [scan(1, 63, 1, 0), refine.done()] * (scans - 2)
    else:
        writer = BitWriter()
        eob_runs(writer, blocks)
        parts += [scan(1, 63, 0, 0), writer.done()] * (scans - 1)
    parts.append(b"\xFF\xD9")
    return b"".join(parts)


def jpeg_cover(width, height, scans):
    cover = compress_block(progressive_jpeg(width, height, scans))
    return box(JPEG_FLAGS | COVER_COMPRESSED, cover=cover, data=token(0x10, b"Titel") + b"\x80\x00")



def sequential_jpeg(width, height, components, magnitude):
    """A baseline JPEG, every component at full resolution, each block's DC
    difference 0 and all 63 AC coefficients 2**magnitude - 1. Every block
    has the same bits, so eight blocks make whole bytes that repeat."""
    units = ((width + 7) // 8) * ((height + 7) // 8)
    dc_table = bytes([0x00]) + bytes([1] + [0] * 15) + bytes([0x00])
    ac_table = bytes([0x10]) + bytes([1] + [0] * 15) + bytes([magnitude])  # run 0, the one code 0
    frame = b"".join(bytes([i + 1, 0x11, 0]) for i in range(components))
    scan = b"".join(bytes([i + 1, 0x00]) for i in range(components))

    def blocks(count):
        writer = BitWriter()
        for _ in range(count * components):
            writer.put(0, 1)  # DC difference category 0
            for _ in range(63):
                writer.put((1 << magnitude) - 1, 1 + magnitude)
        return writer.done()
    return b"".join([b"\xFF\xD8",
                     segment(0xDB, bytes([0]) + bytes([1] * 64)),
                     segment(0xC0, struct.pack(">BHHB", 8, height, width, components) + frame),
                     segment(0xC4, dc_table + ac_table),
                     segment(0xDA, bytes([components]) + scan + bytes([0, 63, 0])),
                     blocks(8) * (units // 8), blocks(units % 8), b"\xFF\xD9"])


def arithmetic_jpeg(width, height):
    """An arithmetic-coded CMYK JPEG announcing width x height whose data
    covers only 64 x 64 pixels of large coefficients: the decoder's
    statistics have learnt them, and once the data ends it goes on decoding
    such blocks from nothing, a few microseconds each."""
    small = sequential_jpeg(64, 64, 4, 10)
    coded = subprocess.run(["jpegtran", "-arithmetic"], input=small, capture_output=True,
                           check=True).stdout
    frame = coded.index(b"\xFF\xC9")
    return coded[:frame + 5] + struct.pack(">HH", height, width) + coded[frame + 9:]


def bmp_rle(width, height, stream):
    """An 8-bit run-length BMP of width x height with a grey palette."""
    palette = b"".join(bytes([i, i, i, 0]) for i in range(256))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(stream), 2835, 2835,
                       256, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(stream), 0, 0, offset) + info + palette + stream


def longest_rle(width, height):
    """What the plainest encoder writes: each pixel a run of one, each row's
    end, the picture's end; the longest stream the cover bounds accept."""
    return bmp_rle(width, height, (b"\x01\x80" * width + b"\x00\x00") * height + b"\x00\x01")


def empty_escapes_cover(stream_bytes, compressed):
    """A 1 x 1 run-length BMP whose stream is escapes that move by nothing
    (delta 0, 0): each is read, none draws a pixel."""
    cover = bmp_rle(1, 1, b"\x00\x02\x00\x00" * (stream_bytes // 4) + b"\x00\x01")
    if compressed:
        return box(COVER_COMPRESSED, cover=compress_block(cover))
    return box(0, cover=cover)


def write_sparse_no_magic(path, size):
    with open(path, "wb") as out:
        out.write(box(magic="NOTABOX!"))
        out.truncate(size)


# name -> (maker, what the dump run must show). Maker returns the file's
# bytes, or writes the file itself when given its path. "cut": the record
# text ends with the line that says the rest is not shown; "cover": whether
# the cover loads; "status": the exit status when it is fixed.
CASES = {
    "language-refs-small": (lambda: language_refs(210_000), {"cut": True}),
    "language-refs-medium": (lambda: language_refs(840_000), {"cut": True}),
    "language-refs-large": (lambda: language_refs(3_350_000), {"cut": True}),
    "zero-tokens-16m": (lambda: box(DATA_COMPRESSED, data=zeros_block(16 * MIB)), {"cut": True}),
    "zero-tokens-64m": (lambda: box(DATA_COMPRESSED, data=zeros_block(64 * MIB)), {"cut": True}),
    "hash-collisions": (lambda: hash_collisions(60_000), {"cut": False}),
    "resets-after-big-table": (lambda: resets_after_big_table(500_000, 100_000), {"cut": False}),
    "jpeg-10000-scans": (lambda: jpeg_cover(5792, 5792, 10_000), {"cover": False}),
    "inflate-512m-cover": (lambda: box(JPEG_FLAGS | COVER_COMPRESSED,
                                       cover=zeros_block(512 * MIB)), {"cover": False}),
    "inflate-512m-data": (lambda: box(DATA_COMPRESSED, data=zeros_block(512 * MIB)), {}),
    "sparse-2g-no-magic": (lambda path: write_sparse_no_magic(path, 2**31 - 1), {"status": 1}),
    "jpeg-arithmetic-4096": (lambda: box(JPEG_FLAGS | COVER_COMPRESSED,
                                         cover=compress_block(arithmetic_jpeg(4096, 4096))),
                             {"cover": False}),
    "jpeg-arithmetic-16384x1024": (lambda: box(JPEG_FLAGS,
                                               cover=arithmetic_jpeg(16384, 1024)),
                                   {"cover": False}),
    "bmp-rle-empty-escapes": (lambda: empty_escapes_cover(64 * MIB - 2048, True),
                              {"cover": False}),
    "bmp-rle-empty-escapes-stored": (lambda: empty_escapes_cover(240 * MIB, False),
                                     {"cover": False}),
}


def make(outdir):
    os.makedirs(outdir, exist_ok=True)
    for name, (maker, _) in CASES.items():
        path = os.path.join(outdir, name + ".box")
        if maker.__code__.co_argcount == 1:
            maker(path)
        else:
            with open(path, "wb") as out:
                out.write(maker())
        print(f"{name}.box: {os.stat(path).st_blocks * 512} bytes on disk, "
              f"{os.path.getsize(path)} long")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("outdir", nargs="?")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--expect")
    parser.add_argument("--jpeg", nargs=3, type=int, metavar=("W", "H", "SCANS"))
    parser.add_argument("--dense", action="store_true")
    parser.add_argument("--sequential", nargs=4, type=int,
                        metavar=("W", "H", "COMPONENTS", "MAGNITUDE"))
    parser.add_argument("--rle", nargs=2, type=int, metavar=("W", "H"))
    args = parser.parse_args(argv)
    if args.list:
        print(";".join(CASES))
    elif args.expect:
        print(json.dumps(CASES[args.expect][1]))
    elif args.jpeg:
        with open(args.outdir, "wb") as out:
            out.write(progressive_jpeg(*args.jpeg, dense=args.dense))
    elif args.sequential:
        with open(args.outdir, "wb") as out:
            out.write(sequential_jpeg(*args.sequential))
    elif args.rle:
        with open(args.outdir, "wb") as out:
            out.write(longest_rle(*args.rle))
    elif args.outdir:
        make(args.outdir)
    else:
        parser.error("OUTDIR, --list, --expect, --jpeg, --sequential or --rle")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
