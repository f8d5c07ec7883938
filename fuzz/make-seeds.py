#!/usr/bin/env python3
"""Writes the hand-made fuzz seeds into fuzz/corpus/<target>/.

Run: python3 fuzz/make-seeds.py   (examples/make-examples.sh runs it too)

Small token streams for fuzz_render, small, partly malformed box files for
fuzz_box_load and stored blocks for fuzz_inflate: each one reaches a branch
that random bytes find only slowly.
"""

import struct
import sys
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tools"))
import boxwriter as bw  # noqa: E402

# A small record: box, DVD, film, languages and one person block.
RECORD = [
    {"marker": 128}, {"box_title": "ABC"}, {"dvd_count": 1}, {"dvd_title": "D"},
    {"region": [2]}, {"film_count": 1}, {"film_title": "F"}, {"language": "L"},
    {"language_detail": "S"}, {"language_ref": "1#1"}, {"role": "R"},
    {"person": ["A", "B", 1]}, {"person_ref": "1#1"}, {"note": "1\tX"}, {"marker": 133},
]

RENDER_SEEDS = {
    "record": RECORD,
    "person-blocks": [
        {"role": "Regie"}, {"role": "REGIE"}, {"role": "Kamera"},
        {"person": ["Meier", "Hans", 3]}, {"person": "Ohne\tZahl\t"}, {"person": "nur ein Feld"},
        {"person_ref": "1#1"}, {"person_ref": "1#1"}, {"person_ref": "#2"}, {"person_ref": "2"},
        {"person_ref": " 2 # 3"}, {"note": "1\tX1"}, {"note": "1"}, {"note": "1\tY1\tZ"},
        {"note": "2\tnie"}, {"person_ref": "1#3"}, {"note": "-1\tneg"},
        {"film_title": "danach"}, {"role": "neu"}, {"person": ["C", "D", 0]},
        {"person_ref": "1#1"}, {"marker": 128},
    ],
    "languages": [
        {"language": "X"}, {"language": "A"}, {"language_detail": "B"},
        {"language_ref": "2#1"}, {"language_ref": "2#7"}, {"language_ref": "abc"},
        {"language_ref": "#3"}, {"language_ref": "2147483648#1"}, {"language_detail": ""},
        {"language_ref": "1#2"}, {"marker": 133},
    ],
    "numbers": [
        {"dvd_opt": 0x80}, {"code": 0x38, "hex": "FF FF"}, {"code": 0x33, "hex": "FF FF FF FF"},
        {"code": 0x34, "hex": "05"}, {"code": 0x35, "hex": ""}, {"code": 0x54, "hex": "01"},
        {"fsk": 18}, {"film_length": 65535}, {"region_mask": 0}, {"region_mask": 0x7E},
        {"code": 0x31, "hex": ""}, {"marker": 128},
    ],
    "long-tokens": [
        {"box_tags": 258}, {"dvd_tags": 0}, {"film_tags": 1},
        {"content": "erst"}, {"content": "zweit\x00verborgen"}, {"comment": "K"},
        {"code": 0x62, "hex": ""}, {"marker": 133},
    ],
    "unknown-codes": [
        {"code": 0x82, "hex": "01 02 03"}, {"code": 0x00, "hex": ""}, {"code": 0xC0, "hex": "FF"},
        {"code": 0x5E, "text": "1#1"}, {"code": 0xFF, "hex": ""}, {"box_title": "AB\x00CD"},
        {"box_title": ""},
    ],
    "block-order": [
        {"person_ref": "1#1"}, {"person_ref": "2#1"}, {"note": "1\tn"}, {"person_ref": "3#1"},
        {"film_title": "F"}, {"person_ref": "1#1"}, {"note": "1\tm"},
    ],
}

# Streams that end inside a token: raw bytes.
RENDER_RAW = {
    "cut-payload": "10 05 41 42",
    "cut-long-header": "60 01",
    "one-byte-long": "14",
    "one-byte-short": "10",
    "long-length-past-end": "5E 03 31 23 31 61 FF FF 41",
    "empty-after-marker": "80 00 85 00",
}


def box_seed(tokens=(), **parts):
    """A box file from header overrides and blocks, by the box writer."""
    description = {"header": parts.get("header", {"exportDate": "20060131",
                                                  "exportTime": "235959"}),
                   "data": {"tokens": list(tokens), **parts.get("data", {})}}
    if "cover" in parts:
        description["cover"] = parts["cover"]
    return bw.build_box(description)


def with_header_field(box, offset, value):
    out = bytearray(box)
    out[offset:offset + len(value)] = value
    return bytes(out)


PICTURE = "42 4D" + " 00" * 30  # starts like a BMP; the fuzz cover loader reads no further


def box_seeds():
    record = RECORD
    plain = box_seed(record, cover={"hex": PICTURE})
    seeds = {
        "plain": plain,
        "both-compressed": box_seed(record, header={"pictureType": "jpeg"},
                                    cover={"hex": PICTURE, "compressed": True},
                                    data={"compressed": True}),
        "no-cover": box_seed(record),
        "no-data": box_seed(cover={"hex": PICTURE}),
        "header-only": box_seed(),
        "wrong-magic": box_seed(record, header={"magic": "MIRAX3.0"}, cover={"hex": PICTURE}),
        "short-file": plain[:40],
        "declared-too-small": box_seed(record, data={"compressed": True, "declaredLength": 4}),
        "declared-too-large": box_seed(record, data={"compressed": True, "declaredLength": 5000}),
        "declared-huge": box_seed(record, cover={"hex": PICTURE, "compressed": True,
                                                 "declaredLength": 0xFFFFFFFF}),
        "corrupt-stream": with_header_field(
            box_seed(record, data={"compressed": True}), 64 + 6, b"\xff\xff\xff"),
        "compressed-bit-short-block": box_seed([{"raw": "80"}], header={"flags": 0xC0},
                                               cover={"hex": "01 02"}),
        "data-offset-past-end": box_seed(record, header={"dataOffset": 0x7FFFFFF0},
                                         cover={"hex": PICTURE}),
        "data-before-cover": box_seed(record, header={"coverOffset": 200, "dataOffset": 100},
                                      cover={"hex": PICTURE}),
        "cover-offset-not-64": box_seed(record, header={"coverOffset": 70, "dataOffset": 80},
                                        cover={"hex": PICTURE}),
        "offsets-wrap": box_seed(record, header={"coverOffset": 0xFFFFFFFF, "dataOffset": 0}),
        "empty-compressed-data": box_seed([], data={"compressed": True}),
        "date-odd": box_seed(record, header={"exportDate": " -1\x001311", "exportTime": "2"}),
    }
    # Data compressed but the cover stored: the data must come from behind
    # the cover as stored.
    seeds["cover-compressed-data-plain"] = box_seed(
        record, header={"pictureType": "gif"}, cover={"hex": PICTURE * 4, "compressed": True})
    # The stored prefix names a length, the stream inflates to nothing.
    empty = struct.pack("<I", 0) + zlib.compress(b"")
    seeds["inflates-to-nothing"] = box_seed(header={"flags": 0x40, "exportDate": "2006"},
                                            cover={"hex": empty.hex()})
    return seeds


class Bits:
    """A deflate bit writer: fields from the lowest bit, Huffman codes from
    the highest."""

    def __init__(self, prefix=b""):
        self.out = bytearray(prefix)
        self.bit = 0

    def put(self, value, count):
        for i in range(count):
            if self.bit == 0:
                self.out.append(0)
            self.out[-1] |= ((value >> i) & 1) << self.bit
            self.bit = (self.bit + 1) % 8

    def code(self, value, length):
        for i in reversed(range(length)):
            self.put((value >> i) & 1, 1)

    def align(self):
        self.bit = 0


def zlib_header(cinfo=7, fdict=False):
    cmf = (cinfo << 4) | 8
    flg = 0x20 if fdict else 0
    flg += (31 - ((cmf << 8) + flg) % 31) % 31
    return bytes([cmf, flg])


def finish(bits, content):
    return bytes(bits.out) + struct.pack(">I", zlib.adler32(content))


def far_distance_30():
    """A stored block of 40,000 bytes, then a fixed-code block whose one match
    uses distance code 30, which the format does not define."""
    content = b"a" * 40000
    bits = Bits(zlib_header())
    bits.put(0, 1)
    bits.put(0, 2)
    bits.align()
    bits.out += struct.pack("<HH", 40000, 40000 ^ 0xFFFF) + content
    bits.put(1, 1)
    bits.put(1, 2)
    bits.code(1, 7)  # length code 257: 3 bytes
    bits.code(30, 5)
    bits.put(0, 13)
    bits.code(0, 7)  # end of block
    return finish(bits, content + b"aaa")


def codes_288():
    """A dynamic block that declares 288 length/literal codes (at most 286
    are defined) and writes one literal."""
    bits = Bits(zlib_header())
    bits.put(1, 1)
    bits.put(2, 2)
    bits.put(31, 5)  # 288 length/literal codes
    bits.put(1, 5)  # 2 distance codes
    bits.put(15, 4)  # all 19 code-length codes
    lengths = {0: 2, 1: 2, 8: 2, 9: 2}
    for symbol in (16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15):
        bits.put(lengths.get(symbol, 0), 3)
    precode = {0: 0, 1: 1, 8: 2, 9: 3}
    for length in [8] * 224 + [9] * 64 + [1, 1]:
        bits.code(precode[length], 2)
    bits.code(65, 8)
    bits.code(448 + 256 - 224, 9)  # end of block
    return finish(bits, b"A")


def inflate_seeds():
    prose = b"".join(b"Zeile %d: Der Film lief %d Minuten im Kino.\r\n" % (i, i % 97)
                     for i in range(2000))
    packed = zlib.compress(prose)

    def block(declared, stream):
        return struct.pack("<I", declared) + stream

    small_window = zlib.compressobj(9, zlib.DEFLATED, 8)  # 256-byte window
    near = small_window.compress(prose[:3000]) + small_window.flush()
    tiny = zlib_header(0) + zlib.compress(prose[:3000])[2:]  # window 256, matches reach 32 KiB
    with_dict = zlib.compressobj(zdict=b"Zeile Film Minuten")
    adler_off = bytearray(packed)
    adler_off[-1] ^= 1
    return {
        "exact": block(len(prose), packed),
        "declared-larger": block(len(prose) + 1000, packed),
        "declared-one-short": block(len(prose) - 1, packed),
        "declared-max": block(0x7FFFFFFF, packed),
        "declared-past-signed": block(0x80000000, packed),
        "truncated-trailer": block(len(prose), packed[:-2]),
        "truncated-middle": block(len(prose), packed[: len(packed) // 2]),
        "bytes-after-end": block(len(prose), packed + b"\x00tail"),
        "preset-dictionary": block(100, with_dict.compress(b"Film") + with_dict.flush()),
        "small-window": block(3000, near),
        "small-window-far-match": block(3000, tiny),
        "window-too-large": block(3000, zlib_header(8) + packed[2:]),
        "method-not-deflate": block(len(prose), bytes([0x7F, packed[1]]) + packed[2:]),
        "header-check-off": block(len(prose), bytes([packed[0], packed[1] ^ 1]) + packed[2:]),
        "adler-mismatch": block(len(prose), bytes(adler_off)),
        "declared-0-empty": block(0, zlib.compress(b"")),
        "declared-0-one-byte": block(0, zlib.compress(b"x")),
        "declared-0-two-bytes": block(0, zlib.compress(b"xy")),
        "high-ratio-declared-max": block(0x7FFFFFFF, zlib.compress(bytes(1 << 20), 9)),
        "stored-blocks": block(70000, zlib.compress(bytes(range(256)) * 200, 0)),
        "distance-code-30": block(50000, far_distance_30()),
        "288-length-codes": block(10, codes_288()),
        "prefix-only": block(5, b""),
        "short": b"\x05\x00",
    }


def write(folder, name, data):
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def main():
    render = HERE / "corpus" / "fuzz_render"
    for name, tokens in RENDER_SEEDS.items():
        write(render, f"seed-{name}.tokens", bw.encode_tokens(tokens))
    for name, raw in RENDER_RAW.items():
        write(render, f"seed-{name}.tokens", bw.hex_bytes(raw))
    load = HERE / "corpus" / "fuzz_box_load"
    for name, data in box_seeds().items():
        write(load, f"seed-{name}.box", data)
    inflate = HERE / "corpus" / "fuzz_inflate"
    for name, data in inflate_seeds().items():
        write(inflate, f"seed-{name}.block", data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
