"""A second, independent reading of the box format and its record text.

Run: through tests/model/check_model.py (CTest: ModelAgreement).

show(path) gives the object `quorvel-dump --json` prints for the file: its
path, whether the viewer shows it, the six summary labels as a user reads
them and the record text. Each file is taken as a freshly started viewer
would show it. Python 3 standard library only; written to be read next to
the format description, not for speed.

Pictures: a cover counts as a picture when it starts with the BMP, JPEG or
GIF signature, and its size is read from the picture's own header. The
files this model is checked on carry only intact pictures or bytes that
are plainly not a picture, so no decoder is needed.
"""

import struct
import zlib

HEADER_SIZE = 64
MAGIC = b"MIRAX4.0"
COVER_COMPRESSED = 0x40
DATA_COMPRESSED = 0x80
LONG_CODES = frozenset({0x14, 0x39, 0x60, 0x61, 0x62})
INT32_MIN, INT32_MAX = -(2**31), 2**31 - 1

TEMPLATE_LABELS = {
    "type": "Typ:",
    "width": "Breite: ",
    "height": "Höhe: ",
    "compression": "keine",
    "date": "TT.MM.JJJJ",
    "time": "HH:MM:SS",
}
PICTURE_TYPES = ["Bmp", "Jpg", "Gif", "???", "???", "???", "???", "???"]
COMPRESSION_TEXTS = {0x00: "keine", 0x40: "Cover", 0x80: "Daten", 0xC0: "Cover & Daten"}

# Line formats of the tokens that produce a line from one value.
TEXT_LINES = {
    0x10: "Box-Titel:\t\t",
    0x11: "Box-EAN:\t\t",
    0x12: "Box-Verpackung:\t",
    0x13: "Box-Extra:\t",
    0x30: "Dvd-Titel:\t\t",
    0x36: "Dvd-Format:\t",
    0x37: "Dvd-Extra:\t",
    0x50: "Film-Titel:\t\t",
    0x51: "Film-Original-Titel:\t",
    0x52: "Weiterer Film-Titel:\t",
    0x56: "Film-Bildformat:\t",
    0x57: "Film-Genre:\t",
    0x58: "Film-Untertitel:\t",
}
NUMBER_LINES = {  # code: (prefix, suffix, width in bytes)
    0x32: ("Dvd-OPT:\t{", "}", 1),
    0x33: ("Dvd-SN:\t\t", "", 4),
    0x34: ("Dvd-Low:\t\t", "", 4),
    0x35: ("Dvd-High:\t", "", 4),
    0x38: ("Dvd-Jahr:\t\t", "", 2),
    0x53: ("Film-FSK:\t\t", "", 1),
    0x54: ("Film-Jahr:\t\t", "", 2),
    0x55: ("Film-L\xe4nge:\t", "", 2),
    0x81: ("Box-Dvds:\t", "", 2),
    0x83: ("Dvd-Filme:\t", "", 2),
}
TAG_LINES = {0x14: "Box-Tags:\t", 0x39: "Dvd-Tags:\t", 0x62: "Film-Tags:\t"}
TABLE_CODES = {0x59: "language", 0x5A: "detail", 0x5C: "role", 0x5D: "person",
               0x5E: "ref", 0x5F: "note"}
SILENT_CODES = frozenset({0x80, 0x85})


# ---------------------------------------------------------------- helpers

def wrap_int32(value):
    """The value as a signed 32-bit number after wrapping to 32 bits."""
    value &= 0xFFFFFFFF
    return value - 2**32 if value & 0x80000000 else value


def atoi(text):
    """C atoi on 8-bit text, saturating at the int32 range."""
    i = 0
    while i < len(text) and text[i] in " \t\n\v\f\r":
        i += 1
    sign = 1
    if i < len(text) and text[i] in "+-":
        sign = -1 if text[i] == "-" else 1
        i += 1
    value = 0
    while i < len(text) and "0" <= text[i] <= "9":
        value = value * 10 + ord(text[i]) - 48
        i += 1
    return max(INT32_MIN, min(INT32_MAX, sign * value))


def fold(text):
    """ASCII-only lower case; every other character stays as it is."""
    return "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in text)


def cp1252_to_unicode(raw):
    """Windows-1252 bytes as Unicode; the five unassigned bytes map to C1 controls."""
    return "".join(chr(b) if b in (0x81, 0x8D, 0x8F, 0x90, 0x9D)
                   else bytes([b]).decode("cp1252") for b in raw)


def payload_text(payload):
    """Text payload: up to the first NUL. Kept as one character per byte."""
    end = payload.find(b"\0")
    return (payload if end < 0 else payload[:end]).decode("latin-1")


def payload_uint(payload, width):
    """Little-endian unsigned number; missing bytes read as 0, extra ones ignored."""
    return int.from_bytes(payload[:width].ljust(width, b"\0"), "little")


def region_text(mask):
    if mask in (0x00, 0xFF):
        return "Regionalcode frei"
    return ", ".join(str(n) for n in range(1, 9) if mask & (1 << (n - 1)))


# ---------------------------------------------------------------- loader

def inflate(stored):
    """A compressed block's content, or None when zlib's uncompress would fail."""
    if len(stored) < 4:
        return None
    declared = struct.unpack_from("<I", stored)[0]
    if declared > 64 << 20:  # refused as an allocation that failed
        return None
    # zlib's uncompress lends a zero capacity a one-byte scratch buffer and
    # then reports success with nothing produced when the content fits it.
    capacity = max(declared, 1)
    engine = zlib.decompressobj()
    try:
        # One byte more than the capacity tells "needed more room" apart.
        out = engine.decompress(stored[4:], capacity + 1)
    except zlib.error:
        return None
    if len(out) > capacity or not engine.eof:
        return None
    return out[:declared]


def block(data, start, length, compressed):
    """One block cut from the file, or None when absent."""
    if length <= 0 or start < 0 or start + length > len(data):
        return None
    stored = data[start:start + length]
    if not compressed:
        return stored
    content = inflate(stored)
    return stored if content is None else content


def load(data):
    """(cover, data block) of a file with a good magic; either may be None."""
    flags = data[54]
    cover_offset, data_offset = struct.unpack_from("<II", data, 56)
    cover_length = wrap_int32(data_offset - cover_offset)
    cover = block(data, HEADER_SIZE, cover_length, flags & COVER_COMPRESSED)
    data_length = wrap_int32(len(data) - data_offset)
    records = block(data, HEADER_SIZE + cover_length, data_length, flags & DATA_COMPRESSED)
    if records is not None and len(records) == 0:
        records = None
    return cover, records


# ---------------------------------------------------------------- picture

def picture_size(cover):
    """(width, height) in pixels of a BMP, JPEG or GIF picture, else None."""
    if cover.startswith(b"BM") and len(cover) >= 26:
        if struct.unpack_from("<I", cover, 14)[0] == 12:  # the old OS/2 header
            return struct.unpack_from("<HH", cover, 18)
        width, height = struct.unpack_from("<ii", cover, 18)
        return width, abs(height)
    if cover.startswith(b"GIF87a") or cover.startswith(b"GIF89a"):
        if len(cover) >= 10:
            return struct.unpack_from("<HH", cover, 6)
        return None
    if cover.startswith(b"\xff\xd8\xff"):
        return jpeg_size(cover)
    return None


def jpeg_size(cover):
    pos = 2
    while pos + 4 <= len(cover):
        if cover[pos] != 0xFF:
            return None
        marker = cover[pos + 1]
        if marker == 0xFF:
            pos += 1
            continue
        seg = struct.unpack_from(">H", cover, pos + 2)[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            height, width = struct.unpack_from(">HH", cover, pos + 5)
            return width, height
        pos += 2 + seg
    return None


# ---------------------------------------------------------------- renderer

class Renderer:
    """The token renderer's state for one file."""

    def __init__(self):
        self.last_code = 0
        self.content = ""
        self.comment = ""
        self.reset_tables()

    def reset_tables(self):
        self.tables = {name: [] for name in TABLE_CODES.values()}
        self.next_id = {name: 1 for name in TABLE_CODES.values()}

    def lookup(self, name, wanted):
        for entry_id, text in self.tables[name]:
            if entry_id == wanted:
                return text
        return ""

    def define(self, name, text):
        entry_id = self.next_id[name]
        self.next_id[name] += 1
        if all(fold(text) != fold(other) for _, other in self.tables[name]):
            self.tables[name].append((entry_id, text))

    def language_line(self, text):
        hash_at = text.find("#")
        if hash_at <= 0:
            return text
        a = self.lookup("language", atoi(text))
        b = self.lookup("detail", atoi(text[hash_at + 1:]))
        return "Film-Sprache:\t" + (a + " in " + b if a and b else "")

    def render(self, code, payload):
        """The line of one whole token ('' for none); returns (line, block ended)."""
        line = ""
        if code in TEXT_LINES:
            line = TEXT_LINES[code] + payload_text(payload)
        elif code in NUMBER_LINES:
            prefix, suffix, width = NUMBER_LINES[code]
            line = f"{prefix}{payload_uint(payload, width)}{suffix}"
        elif code == 0x31:
            line = "Dvd-RC:\t\t" + region_text(payload_uint(payload, 1))
        elif code in TAG_LINES:
            line = TAG_LINES[code] + "<vorhanden>"
        elif code == 0x5B:
            line = self.language_line(payload_text(payload))
        elif code in TABLE_CODES:
            self.define(TABLE_CODES[code], payload_text(payload))
        elif code == 0x60:
            self.content = payload_text(payload)
        elif code == 0x61:
            self.comment = payload_text(payload)
        elif code not in SILENT_CODES:
            line = "unbekanntes Token..."
        prev = self.last_code
        ended = (prev == 0x5E and code not in (0x5E, 0x5F)) or (prev == 0x5F and code != 0x5F)
        self.last_code = code
        return line, ended

    def person_entry(self, role_id, person_id, ref_id):
        role = self.lookup("role", role_id)
        name = ""
        fields = self.lookup("person", person_id).split("\t", 2)
        if len(fields) == 3:
            number = atoi(fields[2])
            name = f"{fields[0]}, {fields[1]}" + ("" if number == 1 else f" [{number}]")
        notes = [text.split("\t", 1)[1] if "\t" in text else ""
                 for _, text in self.tables["note"] if atoi(text) == ref_id]
        if not role or not name:
            return ""
        return f"[{role}] {name}" + (" {" + ", ".join(notes) + "}" if notes else "")

    def person_lines(self):
        lines = []
        for ref_id, text in self.tables["ref"]:
            hash_at = text.find("#")
            if hash_at <= 0:
                continue
            shown = self.person_entry(atoi(text[hash_at + 1:]), atoi(text), ref_id)
            lines.append("\r\nFilm-Person:\t" + shown)
        self.reset_tables()
        return "".join(lines)


def record_text(records):
    """The whole record text of a data block, as 8-bit characters."""
    renderer = Renderer()
    text = []
    total, pos = 0, 0
    while True:
        code = records[pos]
        header = 3 if code in LONG_CODES else 2
        if pos + header > len(records):
            break
        length = records[pos + 1] | (records[pos + 2] << 8 if header == 3 else 0)
        if pos + header + length > len(records):
            break
        line, ended = renderer.render(code, records[pos + header:pos + header + length])
        pos += header + length
        total += header + length
        if total >= len(records):
            break
        if line:
            text.append("\r\n" + line)
        if ended:
            text.append(renderer.person_lines())
    text.append(renderer.person_lines())
    if renderer.content:
        text.append("\r\n[Inhalt]\r\n" + renderer.content)
    if renderer.comment:
        text.append("\r\n[Kommentar]\r\n" + renderer.comment)
    return "".join(text)


# ---------------------------------------------------------------- display

def has_box_extension(path):
    name = path.rsplit("/", 1)[-1]
    dot = name.rfind(".")
    return dot >= 0 and fold(name[dot:]) == ".box"


def header_field(data, start, width):
    raw = data[start:start + width]
    end = raw.find(b"\0")
    return (raw if end < 0 else raw[:end]).decode("latin-1")


def stamp_labels(data):
    date = header_field(data, 40, 8)
    time = header_field(data, 48, 6)
    year, month, day = atoi(date[0:4]), atoi(date[4:6]), atoi(date[6:8])
    hour, minute, second = atoi(time[0:2]), atoi(time[2:4]), atoi(time[4:6])
    return "%02d.%02d.%04d" % (day, month, year), "%02d:%02d:%02d" % (hour, minute, second)


def show(path):
    """The dump's object for one file."""
    result = {"file": path, "shown": False, "labels": dict(TEMPLATE_LABELS), "text": ""}
    if not has_box_extension(path):
        return result
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return result
    if len(data) < HEADER_SIZE:
        return result
    labels = result["labels"]
    result["shown"] = True
    flags = data[54]
    labels["compression"] = COMPRESSION_TEXTS[flags & 0xC0]
    labels["date"], labels["time"] = stamp_labels(data)
    if data[:8] != MAGIC:
        return result
    cover, records = load(data)
    size = picture_size(cover) if cover is not None else None
    if size is not None:
        labels["type"] = "Typ: " + PICTURE_TYPES[flags & 0x07]
        labels["width"] = "Breite: %d" % size[0]
        labels["height"] = "Höhe: %d" % size[1]
    if records is not None:
        result["text"] = cp1252_to_unicode(record_text(records).encode("latin-1"))
    return result


def unreadable(path):
    """True when quorvel-dump must count the file as no readable box: not
    shown at all, or shown with a magic this reader does not know."""
    if not show(path)["shown"]:
        return True
    with open(path, "rb") as f:
        return f.read(len(MAGIC)) != MAGIC
