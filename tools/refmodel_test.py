#!/usr/bin/env python3
# Run: ctest --test-dir build -R RefModel   (or: python3 tools/refmodel_test.py)
"""Known answers for the reference model, worked out by hand from the format.

The agreement test only shows that the model and quorvel-dump agree; these
cases pin the model itself, so that the two cannot drift into the same
mistake unnoticed.
"""

import struct
import sys
import tempfile
import unittest
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import boxwriter  # noqa: E402
import gen_boxes  # noqa: E402
import refmodel  # noqa: E402


def box(data=b"", cover=b"", flags=0, date="20060131", time="235959", magic="MIRAX4.0",
        offsets=None):
    cover_offset, data_offset = offsets or (64, 64 + len(cover))
    head = boxwriter.build_header(
        {"magic": magic, "exportDate": date, "exportTime": time, "flags": flags,
         "coverOffset": cover_offset, "dataOffset": data_offset}, 0, False, False)
    return head + cover + data


def tokens(*hex_tokens):
    return bytes.fromhex(" ".join(hex_tokens))


def t(code, payload):
    return boxwriter.token(code, payload)


def zblock(content, declared=None):
    declared = len(content) if declared is None else declared
    return struct.pack("<I", declared) + zlib.compress(content)


# The 57-byte worked example: every token kind of a small film.
WORKED = tokens("80 00", "10 03 41 42 43", "81 02 01 00", "30 01 44", "31 01 02", "83 02 01 00",
                "50 01 46", "59 01 4C", "5A 01 53", "5B 03 31 23 31", "5C 01 52",
                "5D 05 41 09 42 09 31", "5E 03 31 23 31", "5F 03 31 09 58", "85 00")
WORKED_TEXT = ("\r\nBox-Titel:\t\tABC\r\nBox-Dvds:\t1\r\nDvd-Titel:\t\tD\r\nDvd-RC:\t\t2"
               "\r\nDvd-Filme:\t1\r\nFilm-Titel:\t\tF\r\nFilm-Sprache:\tL in S"
               "\r\nFilm-Person:\t[R] A, B {X}")
END = t(0x80, b"")  # a last token: its own line is never shown


class ModelCase(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory(prefix="quorvel-refmodel-")
        self.folder = Path(self._tmp.name)

    def tearDown(self):
        self._tmp.cleanup()

    def show(self, content, name="x.box"):
        path = self.folder / name
        path.write_bytes(content)
        return refmodel.show(str(path))

    def text(self, data, **kw):
        return self.show(box(data, **kw))["text"]


class RecordText(ModelCase):
    def test_worked_example(self):
        self.assertEqual(len(WORKED), 57)
        self.assertEqual(self.text(WORKED), WORKED_TEXT)

    def test_token_lines(self):
        cases = [
            (t(0x14, bytes(258)), "Box-Tags:\t<vorhanden>"),
            (tokens("82 03 01 02 03"), "unbekanntes Token..."),
            (t(0x10, b""), "Box-Titel:\t\t"),
            (t(0x10, b"AB\0CD"), "Box-Titel:\t\tAB"),
            (t(0x38, b"\xff\xff"), "Dvd-Jahr:\t\t65535"),
            (t(0x33, b"\xff" * 4), "Dvd-SN:\t\t4294967295"),
            (t(0x32, b"\x80"), "Dvd-OPT:\t{128}"),
            (t(0x55, b"\x05"), "Film-L\xe4nge:\t5"),  # missing high byte reads as 0
            (t(0x54, b"\x01\x02\x03"), "Film-Jahr:\t\t513"),  # extra byte ignored
            (t(0x31, b"\x00"), "Dvd-RC:\t\tRegionalcode frei"),
            (t(0x31, b"\xff"), "Dvd-RC:\t\tRegionalcode frei"),
            (t(0x31, b"\x7e"), "Dvd-RC:\t\t2, 3, 4, 5, 6, 7"),
            (t(0x31, b""), "Dvd-RC:\t\tRegionalcode frei"),
            (t(0x10, b"\x80\x81\x9d"), "Box-Titel:\t\t\u20ac\x81\x9d"),
        ]
        for stream, line in cases:
            with self.subTest(line=line):
                self.assertEqual(self.text(stream + END), "\r\n" + line)

    def test_walk_ends(self):
        title = t(0x10, b"A")
        cases = [
            (title, ""),  # the only token is the last one
            (title + title, "\r\nBox-Titel:\t\tA"),
            (title + bytes([0x10, 5, 0x41]), "\r\nBox-Titel:\t\tA"),  # payload cut short
            (title + b"\x60\x01", "\r\nBox-Titel:\t\tA"),  # long header cut short
            (title + b"\x60\x05\x00AB", "\r\nBox-Titel:\t\tA"),  # cut content is not kept
            (title + t(0x60, b"T") + t(0x61, b"K"), "\r\nBox-Titel:\t\tA\r\n[Inhalt]\r\nT"
             "\r\n[Kommentar]\r\nK"),
            (t(0x60, b"1") + t(0x60, b"2"), "\r\n[Inhalt]\r\n2"),
        ]
        for stream, text in cases:
            with self.subTest(stream=stream.hex(" ")):
                self.assertEqual(self.text(stream), text)

    def test_languages(self):
        defs = t(0x59, b"X") + t(0x59, b"A") + t(0x5A, b"B")
        cases = [(b"2#1", "Film-Sprache:\tA in B"), (b"2#7", "Film-Sprache:\t"),
                 (b"abc", "abc"), (b"#3", "#3"), (b" +2#x", "Film-Sprache:\t"),
                 (b" +2# 1", "Film-Sprache:\tA in B")]
        for ref, line in cases:
            with self.subTest(ref=ref):
                self.assertEqual(self.text(defs + t(0x5B, ref) + END), "\r\n" + line)
        dup = t(0x59, b"abc") + t(0x59, b"ABC") + t(0x59, b"xyz") + t(0x5A, b"d")
        self.assertEqual(self.text(dup + t(0x5B, b"2#1") + t(0x5B, b"3#1") + END),
                         "\r\nFilm-Sprache:\t\r\nFilm-Sprache:\txyz in d")

    def test_person_lines(self):
        role = t(0x5C, b"R0") + t(0x5C, b"R1")
        cases = [
            ([b"A1\tB1\t1"], [b"1#2"], [], "[R1] A1, B1"),
            ([b"A1\tB1\t3"], [b"1#2"], [], "[R1] A1, B1 [3]"),
            ([b"A1\tB1\t"], [b"1#2"], [], "[R1] A1, B1 [0]"),
            ([b"A1\tB1\t1"], [b"1#2"], [b"1\tX1", b"2\tZ", b"1\tY1"], "[R1] A1, B1 {X1, Y1}"),
            ([b"A1\tB1\t1"], [b"1#2"], [b"1\tX1", b"1", b"1\tY1"], "[R1] A1, B1 {X1, , Y1}"),
            ([b"A1\tB1\t1"], [b"1#2"], [b"1"], "[R1] A1, B1 {}"),
            ([b"A1\tB1\t1"], [b"1#2"], [b"1\ta\tb"], "[R1] A1, B1 {a\tb}"),
            ([b"A1\tB1"], [b"1#2"], [b"1\tX"], ""),  # no second tab: no name
            ([b"A1\tB1\t1"], [b"1#3"], [b"1\tX"], ""),  # no such role
        ]
        for persons, refs, notes, shown in cases:
            with self.subTest(shown=shown, notes=notes):
                stream = role + b"".join(t(0x5D, p) for p in persons)
                stream += b"".join(t(0x5E, r) for r in refs) + b"".join(t(0x5F, n) for n in notes)
                self.assertEqual(self.text(stream + END), "\r\nFilm-Person:\t" + shown)

    def test_person_references(self):
        head = t(0x5C, b"R") + t(0x5D, b"A\tB\t1")
        cases = [
            ([b"12", b"#1", b"1#1"], [], "\r\nFilm-Person:\t[R] A, B"),  # only the usable one
            ([b"1#1", b"1#1"], [b"2\tX"], "\r\nFilm-Person:\t[R] A, B"),  # id 2 has no entry
            ([], [], ""),
        ]
        for refs, notes, text in cases:
            with self.subTest(refs=refs):
                stream = head + b"".join(t(0x5E, r) for r in refs)
                self.assertEqual(self.text(stream + b"".join(t(0x5F, n) for n in notes) + END),
                                 text)

    def test_person_block_ends(self):
        defs = t(0x5C, b"R") + t(0x5D, b"A\tB\t1")
        ref = t(0x5E, b"1#1")
        title = t(0x50, b"T")
        person = "\r\nFilm-Person:\t[R] A, B"
        # The line of the token that ends the block comes before the block's persons,
        # and the block empties every table, so the next reference finds nothing.
        self.assertEqual(self.text(defs + ref + title + ref + END),
                         "\r\nFilm-Titel:\t\tT" + person + "\r\nFilm-Person:\t")
        # 0x5F then 0x5E ends the block after the new reference has been stored.
        self.assertEqual(self.text(defs + ref + t(0x5F, b"1\tN") + t(0x5E, b"1#2") + title + END),
                         person + " {N}\r\nFilm-Person:\t\r\nFilm-Titel:\t\tT")


class Loader(ModelCase):
    def test_blocks(self):
        stream = t(0x10, b"A") + t(0x10, b"B") + END
        line_ab = "\r\nBox-Titel:\t\tA\r\nBox-Titel:\t\tB"
        pic = gen_boxes.bmp(3, 2)
        zpic = zblock(pic)
        cases = [
            ("stored", box(stream), line_ab),
            ("inflated", box(zblock(stream), flags=0x80), line_ab),
            ("declared larger", box(zblock(stream, 999), flags=0x80), line_ab),
            ("declared smaller: kept as stored", box(zblock(stream, 5), flags=0x80),
             self.text(zblock(stream, 5))),
            ("declared 2^31: kept as stored", box(zblock(stream, 2**31), flags=0x80),
             self.text(zblock(stream, 2**31))),
            ("too short for a prefix", box(b"\x10\x00\x85", flags=0x80),
             "\r\nBox-Titel:\t\t"),
            ("inflates to nothing", box(zblock(b""), flags=0x80), ""),
            # zlib's uncompress reports success, with nothing produced, for one
            # byte of content and a declared length of 0.
            ("one byte, declared 0", box(zblock(b"\x10", 0), flags=0x80), ""),
            ("one byte, declared 1", box(zblock(b"\x10", 1), flags=0x80), ""),
            ("two bytes, declared 0: kept as stored", box(zblock(b"\x10\x00", 0), flags=0x80),
             self.text(zblock(b"\x10\x00", 0))),
            ("bytes after the stream", box(zblock(stream) + b"\xff\x00", flags=0x80), line_ab),
            ("behind the stored cover", box(zblock(stream), cover=zpic, flags=0xC0), line_ab),
            ("no data block", box(b"", cover=pic), ""),
            ("data offset past the end", box(stream, offsets=(64, 64 + len(stream) + 1)), ""),
            # The block starts two bytes early, at header bytes 62-63 (0x0000),
            # and so loses its last two bytes.
            ("negative cover length", box(stream + END, offsets=(66, 64)),
             "\r\nunbekanntes Token...\r\nBox-Titel:\t\tA\r\nBox-Titel:\t\tB"),
        ]
        for name, content, text in cases:
            with self.subTest(name):
                self.assertEqual(self.show(content)["text"], text)

    def test_labels(self):
        bmp = gen_boxes.bmp(5, 7)
        blank = ("Typ:", "Breite: ", "Höhe: ")
        cases = [
            ("bmp", box(cover=bmp, flags=0x00),
             ("Typ: Bmp", "Breite: 5", "Höhe: 7", "keine")),
            ("type from flags", box(cover=zblock(bmp), flags=0x41),
             ("Typ: Jpg", "Breite: 5", "Höhe: 7", "Cover")),
            ("???", box(cover=bmp, flags=0x87),
             ("Typ: ???", "Breite: 5", "Höhe: 7", "Daten")),
            ("gif87a", box(cover=gen_boxes.gif87a(9, 4), flags=0xC2),
             ("Typ: Gif", "Breite: 9", "Höhe: 4", "Cover & Daten")),
            ("not a picture", box(cover=b"xyz", flags=0x01), blank + ("keine",)),
            ("wrong magic", box(cover=bmp, flags=0x40, magic="MIRAX4.1"), blank + ("Cover",)),
        ]
        for name, content, (kind, width, height, compression) in cases:
            with self.subTest(name):
                labels = self.show(content)["labels"]
                self.assertEqual((labels["type"], labels["width"], labels["height"],
                                  labels["compression"]), (kind, width, height, compression))

    def test_stamps(self):
        cases = [
            ("20060131", "235959", "31.01.2006", "23:59:59"),
            ("\0" * 8, "\0" * 6, "00.00.0000", "00:00:00"),
            ("20061301", "0\x0012", "01.13.2006", "00:00:00"),
            ("-1 2 3 4", " 1-2+3", "04.03.-001", "01:-2:03"),
            ("ab12 \t x", "\t\n\v\f\r ", "00.00.0000", "00:00:00"),
        ]
        for date, time, shown_date, shown_time in cases:
            with self.subTest(date=date, time=time):
                labels = self.show(box(date=date, time=time))["labels"]
                self.assertEqual((labels["date"], labels["time"]), (shown_date, shown_time))

    def test_not_shown(self):
        content = box(t(0x10, b"A") + t(0x10, b"B"))
        cases = [("x.BOX", True), ("x.box.txt", False), ("noext", False), (".box", True),
                 ("x.box.", False), ("x.bOx", True)]
        for name, shown in cases:
            with self.subTest(name):
                self.assertEqual(self.show(content, name)["shown"], shown)
        self.assertFalse(self.show(content[:63])["shown"])
        self.assertEqual(self.show(b"")["labels"], refmodel.TEMPLATE_LABELS)
        self.assertFalse(refmodel.show(str(self.folder / "missing.box"))["shown"])


if __name__ == "__main__":
    unittest.main()
