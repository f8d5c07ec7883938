#!/usr/bin/env python3
# Run: python3 tests/cli/collection_test.py --dump build/cli/quorvel-dump \
#          [--mkimage build/tools/quorvel-mkimage]      (or: ctest -R DumpCollection)
"""quorvel-dump: the raw and text forms and usage errors; over whole
collections records against the display text and CSV against records; CSV
cells, cover files, standard input and its bound, flat memory, each form's
bound, terminal safety, write errors. JSON labels and texts, and the exit
status per kind of file, are compared with the independent model
(ModelAgreement)."""

import argparse
import csv
import io
import json
import os
import pty
import resource
import stat
import subprocess
import sys
import tempfile
import tty
import unittest
from pathlib import Path

TOP = Path(__file__).resolve().parents[2]
EXAMPLES = TOP / "examples"
EXPECTED = Path(__file__).resolve().parent / "expected"
EXAMPLE_NAMES = ["two-dvds", "kinderkiste", "krimi-abende"]
DUMP = None
MKIMAGE = None


def find_module_folder(name):
    """The generator and box writer live with the model tests or in tools/."""
    for folder in (TOP / "tests" / "model", TOP / "tools"):
        if (folder / name).exists():
            return folder
    raise FileNotFoundError(name)


def dump(*args, cwd=None, stdin=None, check=True):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    proc = subprocess.run([DUMP, *args], cwd=cwd, stdin=stdin, capture_output=True, env=env)
    if check and proc.returncode not in (0, 1):
        raise AssertionError(f"exit {proc.returncode}: {proc.stderr.decode(errors='replace')}")
    return proc


def header_only_box():
    """A 64-byte box with the right magic and neither cover nor data."""
    sys.path.insert(0, str(TOP / "tools"))
    from boxwriter import build_header
    return build_header({"exportDate": "20060131", "exportTime": "235959"}, 0, False, False)


def box_with_tokens(*tokens):
    """A stored box whose data block holds `tokens` (code, payload) and an
    end marker."""
    sys.path.insert(0, str(TOP / "tools"))
    from boxwriter import token
    return header_only_box() + b"".join(token(c, p) for c, p in tokens) + bytes([0x80, 0])


def box_with_title(title_bytes):
    """A stored box whose data block holds one box title."""
    return box_with_tokens((0x10, title_bytes))


def read_terminal(argv, stdin=None):
    """What a terminal receives from argv's stdout and stderr, byte for byte
    (raw: no CR added before a line feed); its status."""
    master, slave = pty.openpty()
    tty.setraw(slave)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    proc = subprocess.Popen(argv, stdout=slave, stderr=slave, stdin=stdin, env=env)
    os.close(slave)
    seen = bytearray()
    while True:
        try:
            chunk = os.read(master, 1 << 16)
        except OSError:  # the other end closed
            break
        if not chunk:
            break
        seen += chunk
    os.close(master)
    return bytes(seen), proc.wait()


class Records(unittest.TestCase):
    def test_examples_match_the_checked_records(self):
        for name in EXAMPLE_NAMES:
            with self.subTest(name):
                got = json.loads(dump("--records", f"{name}.box", cwd=EXAMPLES).stdout)
                want = json.loads((EXPECTED / f"{name}.records.json").read_text("utf-8"))
                self.assertEqual(got, [want])
                # Keys in the checked order too, which dict equality ignores.
                self.assertEqual(json.dumps(got), json.dumps([want]))
                # The same box read from standard input: only the name differs.
                with open(EXAMPLES / f"{name}.box", "rb") as box:
                    piped = json.loads(dump("--records", "-", stdin=box).stdout)
                self.assertEqual(piped, [dict(want, file="-")])

    def test_lines_hold_the_array_objects_one_a_line(self):
        names = [f"{n}.box" for n in EXAMPLE_NAMES] + ["missing.box"]
        for form in ("--json", "--records"):
            with self.subTest(form):
                array = json.loads(dump(form, *names, cwd=EXAMPLES).stdout)
                lines = dump(form, "--lines", *names, cwd=EXAMPLES).stdout.decode().split("\n")
                self.assertEqual(lines.pop(), "")
                self.assertEqual([json.loads(line) for line in lines], array)
                # Every object has every field, also one of a file never read.
                self.assertEqual({tuple(o) for o in array}, {tuple(array[0])})

    def test_generated_records_agree_with_the_display_text(self):
        sys.path.insert(0, str(find_module_folder("gen_boxes.py")))
        import gen_boxes  # noqa: E402
        with tempfile.TemporaryDirectory(prefix="quorvel-records-") as folder:
            paths = gen_boxes.generate(folder, 400, 20061231, MKIMAGE)
            checked = 0
            for start in range(0, len(paths), 100):
                batch = paths[start:start + 100]
                texts = json.loads(dump("--json", "--", *batch).stdout)
                records = json.loads(dump("--records", "--", *batch).stdout)
                self.assertEqual(len(records), len(batch))
                for path, shown, record in zip(batch, texts, records):
                    self.assertEqual(record["shown"], shown["shown"], path)
                    if record["shown"]:
                        problem = display_mismatch(shown["text"], record)
                        self.assertIsNone(problem, f"{path}: {problem}")
                        checked += 1
            self.assertGreater(checked, 300)


def walk_films(record):
    for dvd in record["dvds"]:
        yield from dvd["films"]


def display_mismatch(text, record):
    """Where the records and the display text disagree, or None.

    For each labelled kind of line (titles, languages, persons with their
    notes) the record's values, in tree order, must be exactly the values of
    that label's lines in the text, in text order; content and comment must be
    the text's sections; a language line that is no reference must be a line
    of the text in its place."""
    for label, value in (("\r\n[Kommentar]\r\n", record["comment"]),
                         ("\r\n[Inhalt]\r\n", record["content"])):
        if value is not None:
            if not text.endswith(label + value):
                return f"section {label.strip()} is not {value!r}"
            text = text[:-len(label + value)]
    films = list(walk_films(record))
    kinds = {
        "Dvd-Titel:\t\t": [d["title"] for d in record["dvds"] if d["title"] is not None],
        "Film-Titel:\t\t": [f["title"] for f in films if f["title"] is not None],
        "Film-Original-Titel:\t": [f["originalTitle"] for f in films
                                   if f["originalTitle"] is not None],
        "Weiterer Film-Titel:\t": [t for f in films for t in f["furtherTitles"]],
        "Film-Sprache:\t": [f"{l['language']} in {l['detail']}" if l["detail"] is not None
                            else "" for f in films for l in f["languages"]
                            if l["detail"] is not None or l["language"] is None],
        "Film-Person:\t": [(f"[{p['role']}] {p['name']}"
                            + (f" {{{p['note']}}}" if p["note"] is not None else ""))
                           if p["role"] is not None else ""
                           for f in films for p in f["persons"]],
    }
    for label, values in kinds.items():
        starts = find_all(text, "\r\n" + label)
        if len(starts) != len(values):
            return f"{len(starts)} lines {label.strip()!r} in the text, {len(values)} in records"
        for start, value in zip(starts, values):
            if not line_at(text, start + 2, label + value):
                return f"{label.strip()!r} line at {start} is not {value!r}"
    box_titles = find_all(text, "\r\nBox-Titel:\t\t")
    if box_titles:
        if not line_at(text, box_titles[-1] + 2, "Box-Titel:\t\t" + (record["box"]["title"] or "")):
            return "the box title is not the last one shown"
    elif record["box"]["title"] is not None:
        return "a box title the text does not show"
    at = 0
    for raw in [l["language"] for f in films for l in f["languages"]
                if l["detail"] is None and l["language"] is not None]:
        found = text.find("\r\n" + raw, at)
        while found >= 0 and not line_at(text, found + 2, raw):
            found = text.find("\r\n" + raw, found + 1)
        if found < 0:
            return f"language line {raw!r} is not in the text in its place"
        at = found + 2
    return None


def find_all(text, needle):
    out, at = [], text.find(needle)
    while at >= 0:
        out.append(at)
        at = text.find(needle, at + 1)
    return out


def line_at(text, start, line):
    """True when `line` stands at `start` and a line end or the text's end follows."""
    end = start + len(line)
    return text.startswith(line, start) and (end == len(text) or text.startswith("\r\n", end))


class Forms(unittest.TestCase):
    def test_raw_bytes_text_form_and_usage_errors(self):
        sys.path.insert(0, str(TOP / "tools"))
        from boxwriter import build_header, compress_block, token
        cover = compress_block(b"kein Bild")
        data = compress_block(token(0x10, b'Sch\xf6ne "Kiste" \\ 1') + token(0x55, b"\x5a\x00")
                              + token(0x61, b"Ende\r\nzwei") + token(0x80, b""))
        head = {"exportDate": "20240229", "exportTime": "070809", "flags": 0xC1}
        with tempfile.TemporaryDirectory() as folder:
            path = str(Path(folder) / "gut.box")
            Path(path).write_bytes(build_header(head, len(cover), False, False) + cover + data)
            raw, text = dump("--raw", path), dump(path)
        self.assertEqual((raw.returncode, text.returncode), (0, 0))
        self.assertEqual(raw.stdout, b'\r\nBox-Titel:\t\tSch\xf6ne "Kiste" \\ 1\r\nFilm-L\xe4nge:'
                                     b'\t90\r\n[Kommentar]\r\nEnde\r\nzwei')
        self.assertIn("Komprimierung: Cover & Daten\nExport-Zeitpunkt: 29.02.2024 07:08:09\n\n"
                      'Box-Titel:\t\tSchöne "Kiste" \\ 1\nFilm-Länge:\t90\n[Kommentar]\nEnde\n'
                      "zwei\n", text.stdout.decode())
        self.assertNotIn(b"\r", text.stdout)
        for args in ([], ["--bogus", "x.box"], ["--raw", "a.box", "b.box"], ["--json", "--raw", "a.box"]):
            self.assertEqual(dump(*args, check=False).returncode, 2, args)


def cell(value):
    """A record value as its CSV cell: lists joined by "; ", languages and
    persons as the record text shows them, those that show nothing left out."""
    if value is None:
        return ""
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, dict) and "detail" in value:
        return value["language"] + (f" in {value['detail']}" if value["detail"] else "")
    if isinstance(value, dict):
        note = f" {{{value['note']}}}" if value["note"] is not None else ""
        return f"[{value['role']}] {value['name']}{note}"
    if isinstance(value, list):
        shown = [v for v in value if not isinstance(v, dict) or
                 (v.get("language") or v.get("role")) is not None]
        return "; ".join(cell(v) for v in shown)
    return str(value)


class Csv(unittest.TestCase):
    def test_every_cell_is_its_record_value(self):
        """--csv against --records: a row per film, a DVD without films and a
        box without DVDs one of their own; each cell the value of the field
        its column names, content and comment on a box's first row only; a
        file that is no readable box has its name and error, nothing else."""
        with tempfile.TemporaryDirectory() as folder:
            files = [str(EXAMPLES / f"{name}.box") for name in EXAMPLE_NAMES]
            for name, content in (("kurz.box", b"x" * 10), ("leer.box", header_only_box()),
                                  ("alt.box", b"MIRAX4.1" + header_only_box()[8:])):
                (Path(folder) / name).write_bytes(content)
                files.append(str(Path(folder) / name))
            records = json.loads(dump("--records", *files).stdout)
            out = dump("--csv", *files).stdout.decode()
        rows = list(csv.DictReader(io.StringIO(out, newline="")))
        expected = []
        for record in records:
            pairs = [(d, f) for d in record["dvds"] for f in d["films"] or [None]]
            readable = record["error"] is None
            expected += [(record, d, f, i == 0, readable)
                         for i, (d, f) in enumerate(pairs or [(None, None)])]
        self.assertEqual(len(rows), len(expected))
        for row, (record, dvd, film, first, readable) in zip(rows, expected):
            for column, got in row.items():
                owner, _, key = column.rpartition(".")
                source = {"dvd": dvd, "film": film}.get(owner, record.get(owner) if owner else record)
                want = cell((source or {}).get(key))
                if (not readable and column not in ("file", "error")) or \
                        (not first and column in ("content", "comment")):
                    want = ""
                self.assertEqual(got, want, f"{record['file']} {column}")

    def test_cells_as_a_csv_reader_and_a_spreadsheet_take_them(self):
        # (tokens, {row: {column: cell}}): cells as a CSV reader returns them.
        cases = [
            ([(0x10, b'Die "Kiste", Teil 1\r\nzwei')],
             {0: {"box.title": 'Die "Kiste", Teil 1\r\nzwei'}}),
            # What a spreadsheet would compute stays text.
            ([(0x10, b"=SUM(A1:A9)"), (0x50, b"+49 30"), (0x50, b"-x"), (0x50, b"@x"),
              (0x50, b"\tx"), (0x50, b"a=b")],
             {0: {"box.title": "'=SUM(A1:A9)", "film.title": "'+49 30"},
              1: {"film.title": "'-x"}, 2: {"film.title": "'@x"}, 3: {"film.title": "'\tx"},
              4: {"film.title": "a=b"}}),
            # An empty first item keeps its place in a list.
            ([(0x50, b"F"), (0x52, b""), (0x52, b"X")], {0: {"film.furtherTitles": "; X"}}),
            # Content and comment stand on the box's first row only.
            ([(0x60, b"I" * 60000), (0x61, b"K"), (0x50, b"A"), (0x50, b"B")],
             {0: {"content": "I" * 60000, "comment": "K", "cut": "false"},
              1: {"content": "", "comment": "", "film.title": "B", "cut": "false"}}),
        ]
        for tokens, want in cases:
            with self.subTest(tokens[0]), tempfile.TemporaryDirectory() as folder:
                (Path(folder) / "q.box").write_bytes(box_with_tokens(*tokens))
                out = dump("--csv", "q.box", cwd=folder).stdout.decode("utf-8")
                rows = list(csv.DictReader(io.StringIO(out, newline="")))
                self.assertEqual(len(rows), max(want) + 1)
                for row, cells in want.items():
                    self.assertEqual({k: rows[row][k] for k in cells}, cells)


class Covers(unittest.TestCase):
    def test_covers_are_the_pictures_the_boxes_were_made_from(self):
        with tempfile.TemporaryDirectory() as folder:
            top = Path(folder)
            (top / "bare.box").write_bytes(header_only_box())
            # A stored "BMP" cover of 80 MiB, beyond the cover bound (sparse).
            from boxwriter import build_header
            with open(top / "huge.box", "wb") as out:
                out.write(build_header({}, 80 << 20, False, False) + b"BM")
                out.truncate(64 + (80 << 20))
            for sub in ("again", "other"):
                (top / sub).mkdir()
            os.symlink(EXAMPLES / "two-dvds.box", top / "again" / "two-dvds.box")
            # Another name's box, named as krimi-abende (a GIF) in another case.
            os.symlink(EXAMPLES / "kinderkiste.box", top / "other" / "KRIMI-Abende.box")
            os.symlink(EXAMPLES / "kinderkiste.box", top / "other" / "Stdin.box")
            out = top / "made" / "for" / "covers"  # parents made too
            with open(EXAMPLES / "two-dvds.box", "rb") as stdin:
                proc = dump("--cover", str(out),
                            *[str(EXAMPLES / f"{n}.box") for n in EXAMPLE_NAMES],
                            str(top / "bare.box"), str(top / "huge.box"), "-",
                            str(top / "again" / "two-dvds.box"),
                            str(top / "other" / "KRIMI-Abende.box"),
                            str(top / "other" / "Stdin.box"), stdin=stdin)
            # Not done: the bare box has no cover, the huge one is larger
            # than any cover, and each box of a name given before would
            # overwrite that one's cover.
            self.assertEqual(proc.returncode, 1)
            errors = proc.stderr.decode().splitlines()
            self.assertEqual(len(errors), 5, errors)
            self.assertIn("bare.box: no cover", errors[0])
            self.assertIn("huge.box: the cover is larger than any picture", errors[1])
            for error, name in zip(errors[2:], ["two-dvds", "KRIMI-Abende", "Stdin"]):
                self.assertIn(f".box: a box named {name} was already given", error)
            made = sorted(p.name for p in out.iterdir())
            self.assertEqual(made, sorted([p.name for p in (EXAMPLES / "covers").iterdir()]
                                          + ["stdin.jpg"]))
            for name in made:
                with self.subTest(name):
                    source = "two-dvds.jpg" if name == "stdin.jpg" else name
                    self.assertEqual((out / name).read_bytes(),
                                     (EXAMPLES / "covers" / source).read_bytes())

    def test_only_regular_files_are_written_and_nothing_blocks(self):
        with tempfile.TemporaryDirectory() as folder:
            fifo = Path(folder) / "two-dvds.jpg"
            os.mkfifo(fifo)
            proc = subprocess.run([DUMP, "--cover", folder, str(EXAMPLES / "two-dvds.box")],
                                  capture_output=True, timeout=20)
            self.assertEqual(proc.returncode, 1)
            self.assertIn(b"two-dvds.jpg: not a regular file", proc.stderr)
            self.assertTrue(stat.S_ISFIFO(os.lstat(fifo).st_mode))


def peak_kib(args, cwd):
    """The peak resident size of one run, in KiB."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    proc = subprocess.Popen([DUMP, *args], cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    assert proc.returncode == 0, proc.returncode
    return usage.ru_maxrss


SANITIZED = os.environ.get("QUORVEL_SANITIZED")


class Streaming(unittest.TestCase):
    @unittest.skipIf(SANITIZED, "peaks mean nothing under a sanitizer")
    def test_memory_stays_flat_over_many_files(self):
        with tempfile.TemporaryDirectory() as folder:
            source = EXAMPLES / "two-dvds.box"
            names = [f"{i:04d}.box" for i in range(5000)]
            for name in names:
                os.symlink(source, Path(folder) / name)
            for mode in ("--json", "--records", "--csv"):
                with self.subTest(mode):
                    small = peak_kib([mode, *names[:500]], folder)
                    large = peak_kib([mode, *names], folder)
                    self.assertLessEqual(large, small * 1.10, f"{small} KiB vs {large} KiB")

    def test_control_bytes_never_reach_a_terminal(self):
        hostile = b"A\x1b[31mB\x07C\x81D\x9dE\x1b]0;title\x07\xf6\x80\tF\r\nG\rH"
        # Controls made visible or escaped; other characters, tabs and line
        # ends kept (in a CSV cell as CR LF); only a lone CR is ^M.
        kept = "ö€".encode()
        shown_json = (b"A\\u001b[31mB\\u0007C\\u0081D\\u009dE", kept + b"\\tF\\r\\nG\\rH",
                      b"x\\u001b[2Jy.box")
        shown_text = (b"A^[[31mB^GC<U+0081>D<U+009D>E", kept + b"\tF\nG^MH", b"x^[[2Jy.box")
        shown_csv = (shown_text[0], kept + b"\tF\r\nG^MH", shown_text[2])
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "x\x1b[2Jy.box"
            path.write_bytes(box_with_title(hostile))
            for mode, shown in (([], shown_text), (["--csv"], shown_csv),
                                (["--json"], shown_json), (["--records"], shown_json)):
                with self.subTest(mode=mode):
                    seen, status = read_terminal([DUMP, *mode, str(path)])
                    self.assertEqual(status, 0)
                    for part in shown:
                        self.assertIn(part, seen)
                    controls = {b for b in seen if b < 0x20 or b == 0x7F} - {0x09, 0x0A, 0x0D}
                    self.assertEqual(controls, set())
                    self.assertFalse(any(0x80 <= seen[i + 1] <= 0x9F
                                         for i in range(len(seen) - 1) if seen[i] == 0xC2),
                                     "a C1 control in UTF-8")
            # Written to a pipe instead, the text and the JSON stay exact.
            self.assertIn(hostile, dump("--raw", str(path)).stdout)
            self.assertIn(b"C\xc2\x81D\xc2\x9dE", dump("--json", str(path)).stdout)


    def test_standard_input_is_judged_before_it_is_taken_in(self):
        mib = 1 << 20
        # (what the stream starts with, the reason, how much may be sent)
        cases = [(header_only_box(), b"too large for a box file", 300 * mib),
                 (b"NOTABOX!" + bytes(56), b"wrong magic", 2 * mib)]
        for head, reason, most in cases:
            with self.subTest(reason):
                proc = subprocess.Popen([DUMP, "-"], stdin=subprocess.PIPE,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                        preexec_fn=limit_address_space)
                sent, chunk = 0, bytes(mib)
                try:
                    proc.stdin.write(head)
                    while sent < 300 * mib:
                        proc.stdin.write(chunk)
                        sent += mib
                    proc.stdin.close()
                except BrokenPipeError:  # it stopped reading, as it should
                    pass
                err = proc.stderr.read()
                self.assertEqual(proc.wait(timeout=60), 1)
                self.assertIn(reason, err)
                self.assertLess(sent, most)


def limit_address_space():
    if not SANITIZED:  # a sanitizer's shadow memory needs terabytes of it
        resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))


def peak_while_read(argv):
    """The peak resident KiB of argv's own memory (not the test's, which a
    child's count starts from), seen after each MiB of its output is read:
    it cannot end before all is read, nor grow unseen before the first MiB."""
    proc = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    peak = 0
    while proc.stdout.read(1 << 20):
        with open(f"/proc/{proc.pid}/status") as status:
            peak = max([peak] + [int(line.split()[1]) for line in status
                                 if line.startswith("VmHWM:")])
    proc.stdout.close()
    proc.wait()
    return peak


class Bounds(unittest.TestCase):
    def test_no_form_writes_more_than_64_mib_for_a_box(self):
        sys.path.insert(0, str(TOP / "tests" / "hostile"))
        import make_hostile  # noqa: E402
        cut = b"[Der Rest des Eintrags wird nicht angezeigt.]"
        with tempfile.TemporaryDirectory() as folder:
            # 16 MiB of text in lines of control bytes: 6 bytes of JSON for
            # each C0 byte, 8 on a terminal for each C1 byte.
            boxes = {}
            for name in ("control-bytes-c0", "control-bytes-c1"):
                boxes[name[-2:]] = str(Path(folder) / f"{name}.box")
                Path(boxes[name[-2:]]).write_bytes(make_hostile.CASES[name][0]())
            for mode, box, terminal, ends in (
                    (["--json"], "c0", False, cut + b'"}]\n'),
                    ([], "c1", True, cut + b"\n"),
                    (["--json"], "c1", True, cut + b'"}]\n'),
                    (["--csv"], "c1", True, b"\r\n"),
                    (["--records", "--lines"], "c0", False, b"}\n")):
                with self.subTest(mode=mode, box=box, terminal=terminal):
                    out = (read_terminal([DUMP, *mode, boxes[box]])[0] if terminal
                           else dump(*mode, boxes[box]).stdout)
                    self.assertLessEqual(len(out), 64 << 20)
                    self.assertTrue(out.endswith(ends), out[-200:])
                    if "--records" in mode:
                        self.assertTrue(json.loads(out)["cut"])
                    if mode == ["--json"] and not terminal and not SANITIZED:
                        # Written out as it is made, not held whole first.
                        self.assertLess(peak_while_read([DUMP, *mode, boxes[box]]), 100 << 10)
                    if "--csv" in mode:  # rows cut by the bound, and marked so
                        rows = list(csv.DictReader(io.StringIO(out.decode(), newline="")))
                        self.assertEqual({row["cut"] for row in rows}, {"true"})
                        self.assertGreater(len(out), 60 << 20)


class WriteErrors(unittest.TestCase):
    def test_full_disk_and_closed_pipe(self):
        boxes = [f"{n}.box" for n in EXAMPLE_NAMES]
        for mode in ([], ["--json"], ["--records"], ["--csv"]):
            with self.subTest(mode=mode):
                with open("/dev/full", "wb") as full:
                    proc = subprocess.run([DUMP, *mode, *boxes], cwd=EXAMPLES, stdout=full,
                                          stderr=subprocess.PIPE)
                self.assertEqual(proc.returncode, 1)
                self.assertEqual(len(proc.stderr.decode().splitlines()), 1, proc.stderr)

                # `| head -c1`: the reader leaves after one byte.
                proc = subprocess.Popen([DUMP, *mode, *boxes * 100], cwd=EXAMPLES,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                self.assertEqual(len(proc.stdout.read(1)), 1)
                proc.stdout.close()
                err = proc.stderr.read()
                proc.stderr.close()
                self.assertEqual(proc.wait(), 1)  # ended by itself, not by SIGPIPE
                self.assertEqual(err, b"")


def main():
    global DUMP, MKIMAGE
    parser = argparse.ArgumentParser()
    parser.add_argument("--dump", required=True)
    parser.add_argument("--mkimage")
    args, rest = parser.parse_known_args()
    DUMP = str(Path(args.dump).resolve())
    MKIMAGE = args.mkimage
    unittest.main(argv=[sys.argv[0], *rest])


if __name__ == "__main__":
    main()
