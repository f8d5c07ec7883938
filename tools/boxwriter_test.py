#!/usr/bin/env python3
# Run: python3 tools/boxwriter_test.py   (or: ctest --test-dir build -R BoxWriter)
"""Checks the box writer's byte layout against hand-computed bytes."""

import io
import json
import struct
import sys
import tempfile
import unittest
import zlib
from contextlib import redirect_stderr
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import boxwriter as bw  # noqa: E402


def h(text):
    return bytes.fromhex("".join(text.split()))


class TokenStream(unittest.TestCase):
    def test_small_record_matches_hand_computed_bytes(self):
        tokens = [
            {"marker": 0x80},
            {"box_title": "ABC"},
            {"dvd_count": 1},
            {"dvd_title": "D"},
            {"region": [2]},
            {"film_count": 1},
            {"film_title": "F"},
            {"language": "L"},
            {"language_detail": "S"},
            {"language_ref": "1#1"},
            {"role": "R"},
            {"person": ["A", "B", 1]},
            {"person_ref": [1, 1]},
            {"note": [1, "X"]},
            {"marker": 0x85},
        ]
        expected = h("80 00  10 03 41 42 43  81 02 01 00  30 01 44  31 01 02  83 02 01 00"
                     " 50 01 46  59 01 4C  5A 01 53  5B 03 31 23 31  5C 01 52"
                     " 5D 05 41 09 42 09 31  5E 03 31 23 31  5F 03 31 09 58  85 00")
        self.assertEqual(len(expected), 57)
        self.assertEqual(bw.encode_tokens(tokens), expected)

    def test_each_named_token_gets_its_code_and_payload(self):
        cases = [
            ({"box_ean": "4"}, "11 01 34"),
            ({"box_packaging": "K"}, "12 01 4B"),
            ({"box_extra": "E"}, "13 01 45"),
            ({"dvd_opt": 0x80}, "32 01 80"),
            ({"dvd_sn": 0x01020304}, "33 04 04 03 02 01"),
            ({"dvd_low": 4294967295}, "34 04 FF FF FF FF"),
            ({"dvd_high": 0}, "35 04 00 00 00 00"),
            ({"dvd_format": "F"}, "36 01 46"),
            ({"dvd_extra": "x"}, "37 01 78"),
            ({"dvd_year": 2005}, "38 02 D5 07"),
            ({"film_original_title": "O"}, "51 01 4F"),
            ({"film_further_title": "W"}, "52 01 57"),
            ({"fsk": 16}, "53 01 10"),
            ({"film_year": 65535}, "54 02 FF FF"),
            ({"film_length": 104}, "55 02 68 00"),
            ({"film_picture_format": "B"}, "56 01 42"),
            ({"film_genre": "G"}, "57 01 47"),
            ({"film_subtitle": "U"}, "58 01 55"),
            ({"region": [1, 3]}, "31 01 05"),
            ({"region": [8]}, "31 01 80"),
            ({"region": []}, "31 01 00"),
            ({"region_mask": 255}, "31 01 FF"),
            ({"person": ["Meier", "Hans", 3]}, "5D 0C 4D 65 69 65 72 09 48 61 6E 73 09 33"),
            ({"person": "A\tB"}, "5D 03 41 09 42"),
            ({"person_ref": "1#2"}, "5E 03 31 23 32"),
            ({"note": "2\tRegie"}, "5F 07 32 09 52 65 67 69 65"),
            ({"language_ref": [10, 2]}, "5B 04 31 30 23 32"),
            ({"marker": 133}, "85 00"),
            ({"box_tags": "AA BB"}, "14 02 00 AA BB"),
            ({"dvd_tags": 0}, "39 00 00"),
            ({"film_tags": 3}, "62 03 00 01 08 0F"),
            ({"code": 0x82, "hex": "01 02 03"}, "82 03 01 02 03"),
            ({"code": 0x60, "text": "T"}, "60 01 00 54"),
            ({"code": 0x54, "u16": 1999}, "54 02 CF 07"),
            ({"code": 0x00, "u8": 7}, "00 01 07"),
            ({"code": 0xC0, "u32": 1}, "C0 04 01 00 00 00"),
            ({"raw": "ff 10"}, "FF 10"),
        ]
        for item, expected in cases:
            with self.subTest(item=item):
                self.assertEqual(bw.encode_token(item), h(expected))

    def test_long_header_only_for_the_five_long_codes(self):
        for code in range(256):
            with self.subTest(code=code):
                out = bw.token(code, b"\x41" * 5)
                if code in (0x14, 0x39, 0x60, 0x61, 0x62):
                    self.assertEqual(out[:3], bytes([code, 5, 0]))
                    self.assertEqual(len(out), 8)
                else:
                    self.assertEqual(out[:2], bytes([code, 5]))
                    self.assertEqual(len(out), 7)

    def test_long_length_is_little_endian(self):
        out = bw.encode_token({"box_tags": 258})
        self.assertEqual(out[:3], h("14 02 01"))
        self.assertEqual(len(out), 261)
        content = bw.encode_token({"content": "x" * 300})
        self.assertEqual(content[:3], h("60 2C 01"))
        self.assertEqual(bw.encode_token({"comment": ""}), h("61 00 00"))

    def test_length_limits_are_enforced_at_the_edge(self):
        self.assertEqual(len(bw.encode_token({"box_title": "a" * 255})), 257)
        self.assertEqual(len(bw.encode_token({"content": "a" * 65535})), 65538)
        for item in ({"box_title": "a" * 256}, {"content": "a" * 65536},
                     {"film_tags": 65536}, {"code": 0x82, "hex": "00" * 256}):
            with self.subTest(item=str(item)[:40]):
                with self.assertRaises(bw.BoxWriterError):
                    bw.encode_token(item)

    def test_texts_are_written_as_windows_1252(self):
        cases = [
            ("H\u00f6he", "48 F6 68 65"),
            ("Gr\u00f6\u00dfe \u20ac", "47 72 F6 DF 65 20 80"),
            ("\u00c4\u00d6\u00dc\u00e4\u00fc", "C4 D6 DC E4 FC"),
            ("\u201eZitat\u201c", "84 5A 69 74 61 74 93"),
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                payload = h(expected)
                self.assertEqual(bw.encode_token({"film_title": text}),
                                 bytes([0x50, len(payload)]) + payload)

    def test_length_counts_bytes_after_encoding(self):
        self.assertEqual(bw.encode_token({"box_title": "\u00e4" * 255})[:2], h("10 FF"))
        with self.assertRaises(bw.BoxWriterError):
            bw.encode_token({"box_title": "\u20ac" * 256})

    def test_refuses_what_cannot_be_written(self):
        bad = [
            {"film_title": "\u0141\u00f3d\u017a"},  # no Windows-1252 form
            {"film_title": 5},
            {"fsk": 256},
            {"fsk": -1},
            {"fsk": True},
            {"film_year": 65536},
            {"dvd_sn": 1 << 32},
            {"region": [0]},
            {"region": [9]},
            {"region": 2},
            {"region_mask": 256},
            {"marker": 0x81},
            {"person": ["A", "B"]},
            {"person_ref": [1]},
            {"note": ["x", 1]},
            {"raw": "zz"},
            {"code": 256, "hex": ""},
            {"code": 0x10},
            {"code": 0x10, "text": "a", "hex": "00"},
            {"code": 0x10, "u64": 1},
            {"no_such_token": 1},
            {"box_title": "a", "dvd_title": "b"},
            ["box_title", "a"],
        ]
        for item in bad:
            with self.subTest(item=item):
                with self.assertRaises(bw.BoxWriterError):
                    bw.encode_token(item)

    def test_error_names_the_token(self):
        with self.assertRaisesRegex(bw.BoxWriterError, r"^token 2: "):
            bw.encode_tokens([{"marker": 128}, {"fsk": 1}, {"fsk": 300}])


class Header(unittest.TestCase):
    def test_header_bytes(self):
        desc = {
            "header": {"exportDate": "20060131", "exportTime": "235959",
                       "pictureType": "jpeg", "opaqueA": "01 02", "opaqueB": 0xAB},
            "data": {"tokens": [{"marker": 128}]},
        }
        expected = (b"MIRAX4.0" + h("01 02") + bytes(30) + b"20060131" + b"235959"
                    + h("01 AB") + h("40 00 00 00") + h("40 00 00 00") + h("80 00"))
        self.assertEqual(bw.build_box(desc), expected)

    def test_flag_byte(self):
        cover = {"hex": "00 01 02 03 04 05 06 07"}
        cases = [
            ("bmp", False, False, {}, 0x00),
            ("jpeg", True, True, {}, 0xC1),
            ("gif", True, False, {}, 0x42),
            (2, False, True, {}, 0x82),
            (7, False, False, {}, 0x07),
            ("jpg", False, False, {"flags": 0x87}, 0x87),
            ("jpeg", True, True, {"flags": 0x00}, 0x00),
        ]
        for ptype, cover_c, data_c, extra, flags in cases:
            with self.subTest(ptype=ptype, cover=cover_c, data=data_c, extra=extra):
                desc = {"header": {"pictureType": ptype, **extra},
                        "cover": {**cover, "compressed": cover_c},
                        "data": {"compressed": data_c, "tokens": []}}
                self.assertEqual(bw.build_box(desc)[54], flags)

    def test_short_text_fields_are_nul_padded(self):
        out = bw.build_box({"header": {"magic": "MIRAX", "exportDate": "2006",
                                       "exportTime": ""}})
        self.assertEqual(out[0:8], b"MIRAX\0\0\0")
        self.assertEqual(out[40:48], b"2006\0\0\0\0")
        self.assertEqual(out[48:54], bytes(6))

    def test_refuses_bad_header_fields(self):
        bad = [{"magic": "MIRAX4.00"}, {"exportDate": "200601311"}, {"exportTime": "1234567"},
               {"pictureType": "png"}, {"pictureType": 8}, {"flags": 256},
               {"opaqueA": "00" * 33}, {"opaqueB": -1}, {"dataOffset": 1 << 32},
               {"magic": "\u20acIRAX4.0"}]
        for header in bad:
            with self.subTest(header=header):
                with self.assertRaises(bw.BoxWriterError):
                    bw.build_box({"header": header})


class Blocks(unittest.TestCase):
    def test_compressed_block_prefix(self):
        stored = bw.compress_block(b"abcabcabc")
        self.assertEqual(stored[:4], h("09 00 00 00"))
        self.assertEqual(zlib.decompress(stored[4:]), b"abcabcabc")
        self.assertEqual(bw.compress_block(b"x", declared_length=0x01020304)[:4],
                         h("04 03 02 01"))

    def test_offsets_follow_the_stored_cover(self):
        picture = bytes(range(200)) * 3
        tokens = [{"box_title": "Box"}]
        stream = h("10 03 42 6F 78")
        for cover_c in (False, True):
            with self.subTest(cover_compressed=cover_c):
                desc = {"cover": {"hex": picture.hex(), "compressed": cover_c},
                        "data": {"tokens": tokens}}
                out = bw.build_box(desc)
                cover_off, data_off = struct.unpack_from("<II", out, 56)
                self.assertEqual(cover_off, 64)
                stored = out[64:data_off]
                if cover_c:
                    self.assertEqual(struct.unpack_from("<I", stored)[0], len(picture))
                    self.assertEqual(zlib.decompress(stored[4:]), picture)
                    self.assertLess(len(stored), len(picture))
                else:
                    self.assertEqual(stored, picture)
                self.assertEqual(out[data_off:], stream)

    def test_no_cover_and_no_data(self):
        out = bw.build_box({})
        self.assertEqual(len(out), 64)
        self.assertEqual(struct.unpack_from("<II", out, 56), (64, 64))

    def test_compressed_data_block_with_declared_length_override(self):
        desc = {"data": {"compressed": True, "declaredLength": 2,
                         "tokens": [{"box_title": "Lang genug"}]}}
        out = bw.build_box(desc)
        self.assertEqual(out[54], 0x80)
        self.assertEqual(out[64:68], h("02 00 00 00"))
        self.assertEqual(zlib.decompress(out[68:]), h("10 0A") + b"Lang genug")

    def test_offset_overrides_change_only_the_header(self):
        desc = {"header": {"coverOffset": 100, "dataOffset": 10},
                "cover": {"hex": "01 02 03"}, "data": {"tokens": [{"marker": 128}]}}
        out = bw.build_box(desc)
        self.assertEqual(struct.unpack_from("<II", out, 56), (100, 10))
        self.assertEqual(out[64:], h("01 02 03 80 00"))

    def test_refuses_bad_blocks(self):
        bad = [{"cover": {"hex": "00", "declaredLength": 3}},
               {"cover": {}},
               {"cover": {"hex": "00", "file": "x.jpg"}},
               {"cover": {"file": "does-not-exist.jpg"}},
               {"data": {"compressed": True, "declaredLength": -1}},
               {"cover": "covers/x.jpg"},
               {"cover": {"hex": "00", "compresed": True}},
               {"data": {"token": []}},
               {"header": {"exportdate": "20060131"}},
               {"headers": {}}]
        with tempfile.TemporaryDirectory() as tmp:
            for desc in bad:
                with self.subTest(desc=desc):
                    with self.assertRaises(bw.BoxWriterError):
                        bw.build_box(desc, tmp)


def _blocks(box):
    """Header fields but the offsets, and both blocks' contents, inflated."""
    cover_off, data_off = struct.unpack_from("<II", box, 56)
    flags = box[54]
    cover = box[64:64 + data_off - cover_off]
    data = box[64 + data_off - cover_off:]
    if flags & bw.COVER_COMPRESSED:
        cover = zlib.decompress(cover[4:])
    if flags & bw.DATA_COMPRESSED:
        data = zlib.decompress(data[4:])
    return box[:56], cover, data


class Examples(unittest.TestCase):
    """The committed example boxes match their descriptions (rerun
    examples/make-examples.sh after editing one)."""

    def test_examples_are_up_to_date(self):
        folder = Path(__file__).resolve().parent.parent / "examples"
        descriptions = sorted(folder.glob("*.json"))
        self.assertGreaterEqual(len(descriptions), 3)
        for path in descriptions:
            with self.subTest(example=path.name):
                built = bw.build_box(json.loads(path.read_text(encoding="utf-8")), folder)
                committed = path.with_suffix(".box").read_bytes()
                # Compared inflated: another zlib may deflate the same bytes differently.
                self.assertEqual(_blocks(committed), _blocks(built))
                self.assertLess(len(committed), 60 * 1024)


class CommandLine(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.dir = Path(self._tmp.name)

    def tearDown(self):
        self._tmp.cleanup()

    def test_writes_box_beside_the_description_with_cover_relative_to_it(self):
        (self.dir / "covers").mkdir()
        (self.dir / "covers" / "c.bin").write_bytes(b"PICTURE")
        desc = {"header": {"pictureType": "gif"},
                "cover": {"file": "covers/c.bin"},
                "data": {"tokens": [{"film_title": "\u00dcber"}]}}
        path = self.dir / "item.json"
        path.write_text(json.dumps(desc), encoding="utf-8")
        self.assertEqual(bw.main([str(path)]), 0)
        out = (self.dir / "item.box").read_bytes()
        self.assertEqual(out[64:71], b"PICTURE")
        self.assertEqual(out[71:], h("50 04 DC 62 65 72"))
        self.assertEqual(bw.main([str(path), "--data-only", "-o", str(self.dir / "t.bin")]), 0)
        self.assertEqual((self.dir / "t.bin").read_bytes(), h("50 04 DC 62 65 72"))

    def test_bad_description_writes_nothing_and_fails(self):
        path = self.dir / "bad.json"
        path.write_text(json.dumps({"data": {"tokens": [{"fsk": 999}]}}), encoding="utf-8")
        err = io.StringIO()
        with redirect_stderr(err):
            self.assertEqual(bw.main([str(path)]), 1)
        self.assertIn("token 0", err.getvalue())
        self.assertFalse((self.dir / "bad.box").exists())


if __name__ == "__main__":
    unittest.main()
