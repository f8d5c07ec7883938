#!/usr/bin/env python3
"""Writes the hand-made fuzz seeds into fuzz/corpus/<target>/.

Run: python3 fuzz/make-seeds.py   (examples/make-examples.sh runs it too)

Small token streams for fuzz_render and small, partly malformed box files for
fuzz_box_load: each one reaches a branch that random bytes find only slowly.
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
    return 0


if __name__ == "__main__":
    sys.exit(main())
