#!/usr/bin/env python3
"""Builds a .box file from a readable JSON description.

Usage:
    boxwriter.py DESCRIPTION.json [-o OUT.box]      # default OUT: DESCRIPTION with .box
    boxwriter.py DESCRIPTION.json --data-only -o OUT # only the token stream, uncompressed

Also usable as a module: build_box(description, base_dir) returns the file's
bytes, encode_tokens(list) the token stream, encode_token(item) one token.

Description format (JSON object; every key is optional):

    {
      "note": "free text for the reader, not written",
      "header": {
        "magic": "MIRAX4.0",        # up to 8 characters, NUL-padded
        "exportDate": "20060131",   # YYYYMMDD, up to 8 ASCII characters, NUL-padded
        "exportTime": "235959",     # hhmmss, up to 6 ASCII characters, NUL-padded
        "pictureType": "jpeg",      # "bmp" 0, "jpeg" 1, "gif" 2, or a number 0-7
        "flags": 193,               # whole flag byte; overrides pictureType and
                                    # the compressed bits taken from the blocks
        "opaqueA": "00 11 ...",     # hex, up to 32 bytes, zero-padded
        "opaqueB": 0,               # byte 55
        "coverOffset": 64,          # overrides for malformed files; by default
        "dataOffset": 1234          # 64 and 64 + the stored cover length
      },
      "cover": {                    # or null / missing: no cover block
        "file": "covers/x.jpg",     # relative to the description's folder
        "hex": "ff d8 ...",         # instead of "file": the bytes themselves
        "compressed": false,
        "declaredLength": 999       # the 4-byte prefix, when compressed;
                                    # default: the true length
      },
      "data": {                     # or missing: no data block
        "compressed": false,
        "declaredLength": 999,
        "tokens": [ ... ]
      }
    }

Unknown keys are refused, so a misspelt field cannot pass unnoticed.

Tokens, one JSON object each, written by name:

    text:    box_title 0x10, box_ean 0x11, box_packaging 0x12, box_extra 0x13,
             dvd_title 0x30, dvd_format 0x36, dvd_extra 0x37,
             film_title 0x50, film_original_title 0x51, film_further_title 0x52,
             film_picture_format 0x56, film_genre 0x57, film_subtitle 0x58,
             language 0x59, language_detail 0x5A, role 0x5C,
             content 0x60, comment 0x61                    {"box_title": "Die Klassiker"}
    u8:      dvd_opt 0x32, fsk 0x53                        {"fsk": 12}
    u16:     dvd_year 0x38, film_year 0x54, film_length 0x55,
             dvd_count 0x81, film_count 0x83               {"dvd_count": 2}
    u32:     dvd_sn 0x33, dvd_low 0x34, dvd_high 0x35      {"dvd_sn": 123456}
    region:  region 0x31 with a list of region numbers 1-8 {"region": [2]}
             region_mask 0x31 with the mask byte itself    {"region_mask": 255}
    tags:    box_tags 0x14, dvd_tags 0x39, film_tags 0x62: a count of filler
             bytes or a hex string of the payload           {"film_tags": 12}
    language_ref 0x5B:  "N#M" or [N, M]                     {"language_ref": [1, 2]}
    person 0x5D:        [A, B, N] or the raw text           {"person": ["Meier", "Hans", 1]}
    person_ref 0x5E:    "P#R" or [P, R]                     {"person_ref": "1#2"}
    note 0x5F:          "K\\tX" or [K, X]                   {"note": [1, "Regie"]}
    marker:             the code, 0x80 or 0x85, empty payload {"marker": 128}

or by code, with exactly one payload key:

    {"code": 130, "text": "..."} | {"code": 130, "hex": "01 02"} |
    {"code": 84, "u8"|"u16"|"u32": 1999}

and {"raw": "hex bytes"} writes bytes as they are, header included: for
unknown codes with hand-made headers, truncated tokens and the like.

Texts are Unicode in the description and written as Windows-1252; a text
that has no Windows-1252 form, or whose bytes do not fit the token's length
field (255 for the short header, 65535 for the long one: codes 0x14, 0x39,
0x60, 0x61, 0x62), is refused. Numbers out of their field's range are
refused too.
"""

import argparse
import json
import struct
import sys
import zlib
from pathlib import Path

HEADER_SIZE = 64
MAGIC = "MIRAX4.0"
PICTURE_TYPE_MASK = 0x07
COVER_COMPRESSED = 0x40
DATA_COMPRESSED = 0x80
LONG_CODES = frozenset({0x14, 0x39, 0x60, 0x61, 0x62})
PICTURE_TYPES = {"bmp": 0, "jpeg": 1, "jpg": 1, "gif": 2}
MARKER_CODES = frozenset({0x80, 0x85})


class BoxWriterError(ValueError):
    """A description that cannot be written as asked."""


TEXT_TOKENS = {
    "box_title": 0x10,
    "box_ean": 0x11,
    "box_packaging": 0x12,
    "box_extra": 0x13,
    "dvd_title": 0x30,
    "dvd_format": 0x36,
    "dvd_extra": 0x37,
    "film_title": 0x50,
    "film_original_title": 0x51,
    "film_further_title": 0x52,
    "film_picture_format": 0x56,
    "film_genre": 0x57,
    "film_subtitle": 0x58,
    "language": 0x59,
    "language_detail": 0x5A,
    "role": 0x5C,
    "content": 0x60,
    "comment": 0x61,
}
U8_TOKENS = {"dvd_opt": 0x32, "fsk": 0x53}
U16_TOKENS = {
    "dvd_year": 0x38,
    "film_year": 0x54,
    "film_length": 0x55,
    "dvd_count": 0x81,
    "film_count": 0x83,
}
U32_TOKENS = {"dvd_sn": 0x33, "dvd_low": 0x34, "dvd_high": 0x35}
TAG_TOKENS = {"box_tags": 0x14, "dvd_tags": 0x39, "film_tags": 0x62}
PAIR_TOKENS = {"language_ref": 0x5B, "person_ref": 0x5E}
REGION_CODE = 0x31
PERSON_CODE = 0x5D
NOTE_CODE = 0x5F

# One number per width, so every token kind is range-checked the same way.
_UINT_FORMATS = {"u8": ("<B", 0xFF), "u16": ("<H", 0xFFFF), "u32": ("<I", 0xFFFFFFFF)}


def cp1252(text):
    """The Windows-1252 bytes of a Unicode text; refuses what has no such form."""
    if not isinstance(text, str):
        raise BoxWriterError(f"expected a text, got {text!r}")
    try:
        return text.encode("cp1252")
    except UnicodeEncodeError as err:
        raise BoxWriterError(f"{text!r} has no Windows-1252 form ({err.reason})") from None


def uint_bytes(kind, value):
    fmt, top = _UINT_FORMATS[kind]
    if isinstance(value, bool) or not isinstance(value, int) or not 0 <= value <= top:
        raise BoxWriterError(f"{kind} value {value!r} is not a whole number 0..{top}")
    return struct.pack(fmt, value)


def hex_bytes(text):
    """Bytes from hex digits; blanks and line breaks between them are allowed."""
    if not isinstance(text, str):
        raise BoxWriterError(f"expected hex digits, got {text!r}")
    try:
        return bytes.fromhex("".join(text.split()))
    except ValueError:
        raise BoxWriterError(f"{text!r} is not hex bytes") from None


def token(code, payload):
    """One token: code, length field in the code's header form, payload."""
    if not 0 <= code <= 0xFF:
        raise BoxWriterError(f"token code {code!r} is not a byte")
    if code in LONG_CODES:
        if len(payload) > 0xFFFF:
            raise BoxWriterError(
                f"payload of code 0x{code:02X} is {len(payload)} bytes, more than 65535")
        return struct.pack("<BH", code, len(payload)) + payload
    if len(payload) > 0xFF:
        raise BoxWriterError(
            f"payload of code 0x{code:02X} is {len(payload)} bytes, more than 255")
    return struct.pack("<BB", code, len(payload)) + payload


def region_mask(regions):
    if not isinstance(regions, list):
        raise BoxWriterError(f"region expects a list of numbers 1-8, got {regions!r}")
    mask = 0
    for n in regions:
        if isinstance(n, bool) or not isinstance(n, int) or not 1 <= n <= 8:
            raise BoxWriterError(f"region number {n!r} is not 1..8")
        mask |= 1 << (n - 1)
    return mask


def _pair_text(value, name):
    if isinstance(value, str):
        return value
    if (isinstance(value, list) and len(value) == 2
            and all(isinstance(v, int) and not isinstance(v, bool) for v in value)):
        return f"{value[0]}#{value[1]}"
    raise BoxWriterError(f"{name} expects \"N#M\" or [N, M], got {value!r}")


def _person_text(value):
    if isinstance(value, str):
        return value
    if (isinstance(value, list) and len(value) == 3 and isinstance(value[0], str)
            and isinstance(value[1], str)):
        return f"{value[0]}\t{value[1]}\t{value[2]}"
    raise BoxWriterError(f"person expects [A, B, N] or a text, got {value!r}")


def _note_text(value):
    if isinstance(value, str):
        return value
    if (isinstance(value, list) and len(value) == 2 and isinstance(value[0], int)
            and isinstance(value[1], str)):
        return f"{value[0]}\t{value[1]}"
    raise BoxWriterError(f"note expects \"K\\tX\" or [K, X], got {value!r}")


def _tag_payload(value):
    if isinstance(value, str):
        return hex_bytes(value)
    if isinstance(value, bool) or not isinstance(value, int) or value < 0:
        raise BoxWriterError(f"tags expect a byte count or hex bytes, got {value!r}")
    # Filler that is not all zero, so a reader that wrongly reads it shows it.
    return bytes((i * 7 + 1) & 0xFF for i in range(value))


def _by_code(item):
    code = item["code"]
    if isinstance(code, bool) or not isinstance(code, int):
        raise BoxWriterError(f"code {code!r} is not a number")
    kinds = [k for k in item if k != "code"]
    if len(kinds) != 1:
        raise BoxWriterError(f"a token by code needs exactly one payload key: {item!r}")
    kind = kinds[0]
    value = item[kind]
    if kind == "text":
        return token(code, cp1252(value))
    if kind == "hex":
        return token(code, hex_bytes(value))
    if kind in _UINT_FORMATS:
        return token(code, uint_bytes(kind, value))
    raise BoxWriterError(f"unknown payload key {kind!r} in {item!r}")


def encode_token(item):
    """The bytes of one token description (see the module's documentation)."""
    if not isinstance(item, dict):
        raise BoxWriterError(f"a token is a JSON object, got {item!r}")
    if "code" in item:
        return _by_code(item)
    if len(item) != 1:
        raise BoxWriterError(f"a token by name has exactly one key: {item!r}")
    ((name, value),) = item.items()
    if name == "raw":
        return hex_bytes(value)
    if name in TEXT_TOKENS:
        return token(TEXT_TOKENS[name], cp1252(value))
    if name in U8_TOKENS:
        return token(U8_TOKENS[name], uint_bytes("u8", value))
    if name in U16_TOKENS:
        return token(U16_TOKENS[name], uint_bytes("u16", value))
    if name in U32_TOKENS:
        return token(U32_TOKENS[name], uint_bytes("u32", value))
    if name in TAG_TOKENS:
        return token(TAG_TOKENS[name], _tag_payload(value))
    if name == "region":
        return token(REGION_CODE, bytes([region_mask(value)]))
    if name == "region_mask":
        return token(REGION_CODE, uint_bytes("u8", value))
    if name in PAIR_TOKENS:
        return token(PAIR_TOKENS[name], cp1252(_pair_text(value, name)))
    if name == "person":
        return token(PERSON_CODE, cp1252(_person_text(value)))
    if name == "note":
        return token(NOTE_CODE, cp1252(_note_text(value)))
    if name == "marker":
        if value not in MARKER_CODES:
            raise BoxWriterError(f"marker code must be 128 or 133, got {value!r}")
        return token(value, b"")
    raise BoxWriterError(f"unknown token name {name!r}")


def encode_tokens(items):
    """The token stream of a list of token descriptions."""
    out = bytearray()
    for index, item in enumerate(items):
        try:
            out += encode_token(item)
        except BoxWriterError as err:
            raise BoxWriterError(f"token {index}: {err}") from None
    return bytes(out)


def compress_block(content, declared_length=None):
    """A stored compressed block: 4-byte little-endian declared length, zlib stream."""
    declared = len(content) if declared_length is None else declared_length
    return uint_bytes("u32", declared) + zlib.compress(content)


def _ascii_field(value, width, name):
    if not isinstance(value, str):
        raise BoxWriterError(f"{name} must be a text, got {value!r}")
    try:
        raw = value.encode("latin-1")
    except UnicodeEncodeError:
        raise BoxWriterError(f"{name} {value!r} is not 8-bit text") from None
    if len(raw) > width:
        raise BoxWriterError(f"{name} {value!r} is longer than {width} bytes")
    return raw.ljust(width, b"\0")


def picture_type(value):
    if isinstance(value, str):
        if value.lower() not in PICTURE_TYPES:
            raise BoxWriterError(f"unknown picture type {value!r}")
        return PICTURE_TYPES[value.lower()]
    if isinstance(value, bool) or not isinstance(value, int) or not 0 <= value <= 7:
        raise BoxWriterError(f"picture type {value!r} is not 0..7")
    return value


def build_header(header, cover_length, cover_compressed, data_compressed):
    """The 64 header bytes; offsets follow from the stored cover length."""
    magic = _ascii_field(header.get("magic", MAGIC), 8, "magic")
    opaque_a = hex_bytes(header.get("opaqueA", ""))
    if len(opaque_a) > 32:
        raise BoxWriterError("opaqueA is longer than 32 bytes")
    date = _ascii_field(header.get("exportDate", ""), 8, "exportDate")
    time = _ascii_field(header.get("exportTime", ""), 6, "exportTime")
    if "flags" in header:
        flags = uint_bytes("u8", header["flags"])[0]
    else:
        flags = picture_type(header.get("pictureType", 0))
        if cover_compressed:
            flags |= COVER_COMPRESSED
        if data_compressed:
            flags |= DATA_COMPRESSED
    opaque_b = uint_bytes("u8", header.get("opaqueB", 0))
    cover_offset = header.get("coverOffset", HEADER_SIZE)
    data_offset = header.get("dataOffset", HEADER_SIZE + cover_length)
    out = (magic + opaque_a.ljust(32, b"\0") + date + time + bytes([flags]) + opaque_b
           + uint_bytes("u32", cover_offset) + uint_bytes("u32", data_offset))
    assert len(out) == HEADER_SIZE
    return out


def _cover_bytes(cover, base_dir):
    if "file" in cover and "hex" in cover:
        raise BoxWriterError("cover has both \"file\" and \"hex\"")
    if "file" in cover:
        path = Path(base_dir) / cover["file"]
        try:
            return path.read_bytes()
        except OSError as err:
            raise BoxWriterError(f"cover file {path}: {err.strerror}") from None
    if "hex" in cover:
        return hex_bytes(cover["hex"])
    raise BoxWriterError("cover needs \"file\" or \"hex\"")


def _stored(content, block):
    if block.get("compressed", False):
        return compress_block(content, block.get("declaredLength"))
    if "declaredLength" in block:
        raise BoxWriterError("declaredLength given for a block that is not compressed")
    return content


def data_content(description):
    """The data block's token stream, before any compression."""
    data = description.get("data") or {}
    _check_keys("data", data)
    return encode_tokens(data.get("tokens", []))


_KEYS = {
    "description": {"note", "header", "cover", "data"},
    "header": {"magic", "exportDate", "exportTime", "pictureType", "flags", "opaqueA",
               "opaqueB", "coverOffset", "dataOffset"},
    "cover": {"file", "hex", "compressed", "declaredLength"},
    "data": {"compressed", "declaredLength", "tokens"},
}


def _check_keys(part, value):
    if not isinstance(value, dict):
        raise BoxWriterError(f"{part} is a JSON object, got {value!r}")
    unknown = sorted(set(value) - _KEYS[part])
    if unknown:
        raise BoxWriterError(f"unknown {part} field(s): {', '.join(unknown)}")


def build_box(description, base_dir="."):
    """The bytes of a whole box file from its description (a dict)."""
    _check_keys("description", description)
    header = description.get("header") or {}
    cover = description.get("cover")
    data = description.get("data") or {}
    _check_keys("header", header)
    if cover is not None:
        _check_keys("cover", cover)
    _check_keys("data", data)
    cover_stored = _stored(_cover_bytes(cover, base_dir), cover) if cover is not None else b""
    data_stored = _stored(data_content(description), data)
    head = build_header(header, len(cover_stored),
                        cover is not None and cover.get("compressed", False),
                        bool(data.get("compressed", False)))
    return head + cover_stored + data_stored


def main(argv=None):
    parser = argparse.ArgumentParser(description="Builds a .box file from a JSON description.")
    parser.add_argument("description", type=Path)
    parser.add_argument("-o", "--output", type=Path,
                        help="file to write (default: the description with .box)")
    parser.add_argument("--data-only", action="store_true",
                        help="write only the uncompressed token stream")
    args = parser.parse_args(argv)
    try:
        description = json.loads(args.description.read_text(encoding="utf-8"))
        if args.data_only:
            out = data_content(description)
        else:
            out = build_box(description, args.description.parent)
    except (OSError, json.JSONDecodeError, BoxWriterError) as err:
        print(f"boxwriter: {args.description}: {err}", file=sys.stderr)
        return 1
    target = args.output or args.description.with_suffix(".box")
    target.write_bytes(out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
