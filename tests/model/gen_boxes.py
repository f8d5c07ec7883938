"""Seeded random box files that stress the loader and the record renderer.

Run: through tests/model/check_model.py (CTest: ModelAgreement).

Used by check_model.py (`--keep DIR` leaves the files there): generate()
writes COUNT files into a folder (created if needed; must be empty) and
returns their paths in the order a checker should pass them on. The same
seed and picture tool give the same files.

What the files vary: the flag byte, stored and compressed blocks with good
and bad declared lengths, truncated and corrupt zlib streams, wrong magics,
offsets that do not fit the file, files shorter than a header, odd export
time stamps, names with and without the ".box" extension, and token streams
of all 38 codes plus unknown ones, with short and long payloads, NULs and
Windows-1252 bytes in texts, duplicate definitions, broken language and
person references, person blocks in every order and truncated last tokens.

Covers are either intact pictures (BMP written here, BMP, JPEG and GIF89a
from quorvel-mkimage when given) or bytes that are plainly not a
picture: a cover that merely starts like a picture is never written, since
what a decoder makes of a damaged picture is not what these files test.
"""

import os
import random
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
import boxwriter  # noqa: E402
import refmodel  # noqa: E402

RECOGNISED = sorted(
    set(range(0x10, 0x15)) | set(range(0x30, 0x3A)) | set(range(0x50, 0x63))
    | {0x80, 0x81, 0x83, 0x85})
UNKNOWN = [c for c in range(256) if c not in RECOGNISED]
TEXT_CODES = [0x10, 0x11, 0x12, 0x13, 0x30, 0x36, 0x37, 0x50, 0x51, 0x52, 0x56, 0x57, 0x58]
NUMBER_CODES = {0x32: 1, 0x53: 1, 0x38: 2, 0x54: 2, 0x55: 2, 0x81: 2, 0x83: 2,
                0x33: 4, 0x34: 4, 0x35: 4}
PICTURE_MAGICS = (b"BM", b"\xff\xd8\xff", b"GIF87a", b"GIF89a")

WORDS = ["Deutsch", "Englisch", "Dolby Digital 5.1", "Regie", "Kamera", "Meier", "Hans",
         "Die Klassiker", "Tod am Leuchtturm", "Sprecher", "DTS", "16:9", "Krimi"]
CP1252_EXTRAS = bytes([0xE4, 0xF6, 0xFC, 0xDF, 0xC4, 0x80, 0x84, 0x96, 0x9F, 0xA0, 0xFF,
                       0x81, 0x8D, 0x8F, 0x90, 0x9D])


# ---------------------------------------------------------------- pictures

def bmp(width, height, top_down=False):
    """An uncompressed 24-bit BMP, stored bottom-up or top-down."""
    row = (width * 3 + 3) // 4 * 4
    pixels = b"".join(bytes((x * 7 + y) & 0xFF for x in range(row)) for y in range(height))
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, 24,
                       0, len(pixels), 3780, 3780, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54) + info + pixels


def make_pictures(rng, mkimage=None):
    """A pool of intact pictures in the three formats, of varied sizes."""
    side = lambda: rng.randint(1, 40)  # noqa: E731
    pool = [bmp(side(), side()), bmp(side(), side(), top_down=True)]
    if mkimage:
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        with tempfile.TemporaryDirectory(prefix="quorvel-pictures-") as tmp:
            jobs = [("jpg", []), ("jpg", ["--gray"]), ("jpg", ["--quality", "20"]),
                    ("gif", []), ("gif", ["--frames", "3"]), ("bmp", [])]
            for n, (fmt, extra) in enumerate(jobs):
                out = Path(tmp) / f"p{n}.{fmt}"
                size = f"{rng.randint(1, 120)}x{rng.randint(1, 120)}"
                subprocess.run([mkimage, "--size", size, "--shape", "plain", *extra, str(out)],
                               check=True, capture_output=True, env=env)
                pool.append(out.read_bytes())
    return pool


# ---------------------------------------------------------------- texts

def text(rng, limit=40):
    """Text bytes of one of several flavours, at most limit bytes."""
    word = lambda: rng.choice(WORDS).encode()  # noqa: E731
    flavours = [
        lambda: b"",
        word,
        lambda: bytes(rng.choice(CP1252_EXTRAS + b"abcXYZ ") for _ in range(rng.randint(1, 12))),
        lambda: word() + b"\0" + word(),
        lambda: bytes(rng.randrange(1, 256) for _ in range(rng.randint(1, 20))),
        lambda: word() + b"\t" + rng.choice([b"#", b"\r\n", b"12"]),
        lambda: case_variant(rng, word()),
        lambda: case_variant(rng, word()),
        lambda: bytes(rng.randrange(1, 256) for _ in range(limit)),
    ]
    return flavours[rng.randrange(9)]()[:limit]


def case_variant(rng, raw):
    """The same letters in another ASCII case; other bytes untouched."""
    return bytes(b ^ 0x20 if chr(b).isascii() and chr(b).isalpha() and rng.random() < 0.5
                 else b for b in raw)


def number_text(rng, small=4):
    """Decimal number texts as atoi meets them, with odd leading and trailing bytes."""
    return rng.choice([
        str(rng.randint(0, small)), str(rng.randint(0, small)), str(rng.randint(0, small)),
        " " + str(rng.randint(0, small)), "\t+" + str(rng.randint(0, small)),
        "-" + str(rng.randint(0, 3)), "00" + str(rng.randint(0, small)),
        str(rng.randint(0, small)) + "x", "", "abc", "+", " \v\f\r\n2",
        "99999999999", "-99999999999", "2147483647", "4294967297",
    ]).encode()


# ---------------------------------------------------------------- tokens

def tok(code, payload):
    return boxwriter.token(code, payload)


def some_payload_length(rng, width):
    return rng.choice([width] * 6 + [0, 1, 2, 3, 5, 8])


def random_token(rng):
    """One token of any kind."""
    kind = rng.randrange(14)
    if kind < 4:
        return tok(rng.choice(TEXT_CODES), text(rng, rng.choice([40, 40, 40, 255])))
    if kind < 6:
        code, width = rng.choice(list(NUMBER_CODES.items()))
        return tok(code, bytes(rng.randrange(256)
                               for _ in range(some_payload_length(rng, width))))
    if kind == 6:
        return tok(0x31, bytes(rng.choice([0, 0xFF, 1, 5, 0x80, 0x7E, rng.randrange(256)])
                               for _ in range(some_payload_length(rng, 1))))
    if kind == 7:
        length = rng.choice([0, 1, 7, 258, rng.randrange(600)])
        return tok(rng.choice([0x14, 0x39, 0x62]), bytes(rng.randrange(256)
                                                          for _ in range(length)))
    if kind == 8:
        length = rng.choice([0, 3, rng.randrange(40)])
        return tok(rng.choice(UNKNOWN), bytes(rng.randrange(256) for _ in range(length)))
    if kind == 9:
        return tok(rng.choice([0x80, 0x85]), bytes(rng.randrange(256)
                                                    for _ in range(rng.choice([0, 0, 2]))))
    if kind == 10:
        limit = rng.choice([40, 40, 300, 3000, 65535])
        body = text(rng) + b"\r\n" + rng.randbytes(rng.randrange(limit)).replace(b"\0", b"\n")
        return tok(rng.choice([0x60, 0x61]), body[:limit])
    if kind == 11:
        return language_tokens(rng)
    return person_block(rng)


def language_tokens(rng):
    """Language and detail definitions, then references to them, good and bad."""
    out = bytearray()
    names = [rng.choice(WORDS).encode() for _ in range(rng.randint(0, 4))]
    for raw in names:
        out += tok(rng.choice([0x59, 0x5A]), raw)
        if rng.random() < 0.3:
            out += tok(rng.choice([0x59, 0x5A]), case_variant(rng, raw))
    for _ in range(rng.randint(1, 3)):
        ref = rng.choice([
            number_text(rng) + b"#" + number_text(rng),
            number_text(rng) + b"#" + number_text(rng),
            b"2#1", b"abc", b"#3", b" +2#x", b"", b"1#1#1", b"1\x002#1",
        ])
        out += tok(0x5B, ref)
    return bytes(out)


def person_block(rng):
    """A person block: mostly one whose references resolve, else a jumbled one."""
    return tidy_person_block(rng) if rng.random() < 0.5 else jumbled_person_block(rng)


def tidy_person_block(rng):
    """Roles and persons, references to them, and notes on those references."""
    roles = rng.randint(1, 3)
    persons = rng.randint(1, 3)
    out = [tok(0x5C, rng.choice(WORDS).encode() + str(i).encode()) for i in range(roles)]
    if rng.random() < 0.25:
        # A role in other letter case: no entry, but it still takes the next id.
        out.append(tok(0x5C, case_variant(rng, out[0][2:])))
        roles += 1
    for i in range(persons):
        number = rng.choice([b"1", b"1", b"2", b"0", b"", b" 3", b"4294967297"])
        out.append(tok(0x5D, rng.choice(WORDS).encode() + b"\t" + str(i).encode() + b"\t"
                       + number))
    refs = rng.randint(1, 4)
    for _ in range(refs):
        out.append(tok(0x5E, b"%d#%d" % (rng.randint(1, persons), rng.randint(1, roles))))
    for _ in range(rng.randint(0, 4)):
        ref = str(rng.randint(1, refs + 1)).encode()
        out.append(tok(0x5F, rng.choice([ref + b"\t" + text(rng, 20), ref])))
    return b"".join(out)


def jumbled_person_block(rng):
    """Roles, persons, references and notes, in varied orders and forms."""
    defs = []
    for _ in range(rng.randint(0, 3)):
        defs.append(tok(0x5C, rng.choice([rng.choice(WORDS).encode(), b"", text(rng)])))
    for _ in range(rng.randint(0, 3)):
        a, b = rng.choice(WORDS).encode(), rng.choice(WORDS).encode()
        person = rng.choice([
            a + b"\t" + b + b"\t" + number_text(rng, 3),
            a + b"\t" + b + b"\t1", a + b"\t" + b + b"\t",
            a + b"\t" + b, a, b"\t\t", a + b"\t" + b + b"\t2\tx",
        ])
        defs.append(tok(0x5D, person))
    rng.shuffle(defs)
    refs = []
    for _ in range(rng.randint(0, 4)):
        refs.append(tok(0x5E, rng.choice([
            number_text(rng, 3) + b"#" + number_text(rng, 3),
            number_text(rng, 3) + b"#" + number_text(rng, 3),
            b"1#2", b"#2", b"12", b"1#", b" +2#x", b"abc", b"1#2#3",
        ])))
    notes = []
    for _ in range(rng.randint(0, 4)):
        notes.append(tok(0x5F, rng.choice([
            number_text(rng, 4) + b"\t" + text(rng, 20),
            number_text(rng, 4) + b"\t" + text(rng, 20),
            number_text(rng, 4), number_text(rng, 4) + b"\t\tzwei\tTabs",
        ])))
    if rng.random() < 0.2 and refs:
        refs.append(refs[0])  # the same reference text twice
    order = rng.randrange(4)
    if order == 0:
        body = refs + notes
    elif order == 1:
        body = notes + refs
    elif order == 2:
        body = refs + notes + refs[:1] + notes[:1]
    else:
        body = refs + notes
        rng.shuffle(body)
    return b"".join(defs + body)


def truncated_tail(rng):
    """A last token whose header or payload runs past the block's end."""
    code = rng.choice(RECOGNISED + UNKNOWN[:8] + [0x5E, 0x60, 0x61] * 4)
    long_header = code in boxwriter.LONG_CODES
    choice = rng.randrange(3)
    if choice == 0:
        return bytes([code])
    if choice == 1 and long_header:
        return bytes([code, rng.randrange(256)])
    length = rng.randint(1, 300 if long_header else 255)
    header = struct.pack("<BH", code, length) if long_header else bytes([code, length])
    return header + bytes(rng.randrange(256) for _ in range(rng.randrange(length)))


def token_stream(rng):
    """A data block's token stream."""
    if rng.random() < 0.05:
        return bytes([rng.randrange(256)])  # one byte: a header cut short
    out = bytearray()
    if rng.random() < 0.2:
        # Definitions first: a viewer that kept the previous file's last code
        # would end a person block here and lose them.
        out += language_tokens(rng)
    count = rng.choice([0, 1, 2, rng.randint(3, 20), rng.randint(3, 20), rng.randint(20, 60)])
    for _ in range(count):
        out += random_token(rng)
    ending = rng.randrange(10)
    if ending < 2:
        out += truncated_tail(rng)
    elif ending < 4:
        out += tok(rng.choice([0x5E, 0x5F]), number_text(rng) + b"#1")
    elif ending == 4:
        out += tok(rng.choice([0x60, 0x61]), text(rng))
    return bytes(out)


# ---------------------------------------------------------------- blocks

def compressed(rng, content):
    """A stored compressed block, often with a wrong declared length or damage."""
    stream = zlib.compress(content, rng.choice([0, 1, 6, 9]))
    declared = len(content)
    mode = rng.randrange(12)
    if mode == 0:
        declared += rng.randint(1, 5000)
    elif mode == 1:
        declared = max(0, declared - rng.randint(1, 3))
    elif mode == 2:
        declared = rng.choice([2**31, 2**31 + 5, 0xFFFFFFFF])
    elif mode == 3:
        stream = stream[:rng.randrange(len(stream))]
    elif mode == 4:
        damaged = bytearray(stream)
        damaged[rng.randrange(len(damaged))] ^= 1 << rng.randrange(8)
        stream = bytes(damaged)
    elif mode == 5:
        stream += bytes(rng.randrange(256) for _ in range(rng.randint(1, 8)))
    elif mode == 6 or (len(content) <= 1 and rng.random() < 0.5):
        declared = 0
    elif mode == 7:
        # Shorter than the length prefix; three bytes can still hold a token.
        return rng.choice([b"", b"\x00", b"\x10\x00", b"\x10\x00\x00", b"\x82\x00\x85"])
    return struct.pack("<I", declared) + stream


def stored_block(rng, content, flag_set):
    """The block as written: compressed when the flag is set, except now and then."""
    if flag_set and rng.random() < 0.85:
        return compressed(rng, content)
    return content


def not_a_picture(rng):
    raw = bytes(rng.randrange(256) for _ in range(rng.randint(1, 300)))
    return raw if not raw.startswith(PICTURE_MAGICS) else b"x" + raw


def cover_content(rng, pictures):
    choice = rng.randrange(10)
    if choice < 2:
        return None
    if choice < 7:
        return rng.choice(pictures)
    if choice < 9:
        return not_a_picture(rng)
    return b""  # compressed, it inflates to nothing


def stamp(rng, width):
    digits = lambda n: "".join(rng.choice("0123456789") for _ in range(n))  # noqa: E731
    among = lambda chars: "".join(rng.choice(chars) for _ in range(width))  # noqa: E731

    def with_nul():
        value = digits(rng.randrange(width))
        return value + "\0" + digits(width - len(value) - 1)

    kinds = [lambda: digits(width)] * 3 + [
        lambda: "", with_nul, lambda: among("+- \t\n\v\f\r0123456789"),
        lambda: among("abcXYZ-+ 19"), lambda: "".join(chr(rng.randrange(256)) for _ in range(width))]
    return kinds[rng.randrange(8)]()[:width]


def header(rng, flags, cover_offset, data_offset):
    magic = rng.choice(["MIRAX4.0"] * 12 + ["MIRAX4.1", "mirax4.0", "MIRAX4", "\0" * 8])
    return boxwriter.build_header(
        {"magic": magic, "exportDate": stamp(rng, 8), "exportTime": stamp(rng, 6),
         "flags": flags, "opaqueA": bytes(rng.randrange(256) for _ in range(32)).hex(),
         "opaqueB": rng.randrange(256), "coverOffset": cover_offset,
         "dataOffset": data_offset}, 0, False, False)


def odd_offsets(rng, cover_len, total_len):
    """Header offsets that do not describe the blocks as written."""
    cover_offset = rng.choice([0, 1, 63, 65, 100, 0xFFFFFFFF, rng.randrange(2**32)])
    data_offset = rng.choice([
        total_len, total_len + 1, total_len - 1, 0, 63, cover_offset,
        (cover_offset - 1) & 0xFFFFFFFF, (cover_offset - rng.randint(1, 64)) & 0xFFFFFFFF,
        (cover_offset + cover_len + 7) & 0xFFFFFFFF,
        (cover_offset + cover_len - 7) & 0xFFFFFFFF, rng.randrange(2**32)])
    return cover_offset, data_offset


def box_file(rng, pictures):
    """The bytes of one file."""
    if rng.random() < 0.04:
        raw = bytes(rng.randrange(256) for _ in range(rng.randrange(64)))
        return (b"MIRAX4.0" + raw)[:rng.randrange(64)] if rng.random() < 0.5 else raw
    flags = rng.choice([0, 1, 2, rng.randrange(8)]) | (rng.randrange(8) << 3)
    flags |= rng.choice([0, 0x40, 0x80, 0xC0])
    cover = cover_content(rng, pictures)
    cover_stored = b"" if cover is None else stored_block(rng, cover, flags & 0x40)
    data_stored = stored_block(rng, token_stream(rng), flags & 0x80)
    total = 64 + len(cover_stored) + len(data_stored)
    if rng.random() < 0.15:
        cover_offset, data_offset = odd_offsets(rng, len(cover_stored), total)
    else:
        cover_offset, data_offset = 64, 64 + len(cover_stored)
    return header(rng, flags, cover_offset, data_offset) + cover_stored + data_stored


def ambiguous_cover(content, pictures):
    """True when the loader would hand over a cover that only looks like a picture."""
    if len(content) < 64 or content[:8] != refmodel.MAGIC:
        return False
    cover, _ = refmodel.load(content)
    return cover is not None and cover.startswith(PICTURE_MAGICS) and cover not in pictures


# Now and then another spelling, no .box at all, or .box only on a folder.
ODD_NAMES = ["{:03d}.BOX", "{:03d}.bOx", "{:03d}.box.txt", "{:03d}", "{:03d}.box/.box",
             "{:03d}.box/inside", "{:03d} Kinderkiste für Jörg.box", "{:03d}.box."]


def file_name(rng, index, out_dir):
    """Mostly NNN.box; one name in five from ODD_NAMES."""
    kind = rng.randrange(40)
    return out_dir / (ODD_NAMES[kind] if kind < len(ODD_NAMES) else "{:03d}.box").format(index)


def generate(out_dir, count, seed, mkimage=None):
    """Writes the files and returns their paths, in order."""
    rng = random.Random(seed)
    out_dir = Path(out_dir)
    out_dir.mkdir(parents=True, exist_ok=True)
    if any(out_dir.iterdir()):
        raise ValueError(f"{out_dir} is not empty")  # old files would mix with the new
    pictures = make_pictures(rng, mkimage)
    paths = []
    for index in range(count):
        content = box_file(rng, pictures)
        while ambiguous_cover(content, pictures):
            content = box_file(rng, pictures)
        path = file_name(rng, index, out_dir)
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)
        paths.append(str(path))
    # A bare header is a box with nothing in it; one byte less is none.
    bare = boxwriter.build_header(
        {"magic": "MIRAX4.0", "exportDate": "20240229", "exportTime": "070809", "flags": 0xC1,
         "opaqueA": "00" * 32, "opaqueB": 0, "coverOffset": 64, "dataOffset": 64}, 0, False, False)
    for name, content in (("header-only.box", bare), ("header-cut.box", bare[:63])):
        (out_dir / name).write_bytes(content)
        paths.append(str(out_dir / name))
    (out_dir / "folder.box").mkdir(exist_ok=True)  # a name that cannot be read as a file
    paths.append(str(out_dir / "folder.box"))
    paths.append(str(out_dir / "missing.box"))
    return paths
