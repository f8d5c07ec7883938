#!/usr/bin/env python3
# Run: python3 tests/cli/collection_test.py --dump build/cli/quorvel-dump \
#          [--mkimage build/tools/quorvel-mkimage]      (or: ctest -R DumpCollection)
"""quorvel-dump over whole collections: records against the display text,
CSV, cover files, standard input, flat memory, terminal safety, write errors."""

import argparse
import csv
import io
import json
import os
import pty
import resource
import subprocess
import sys
import tempfile
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


def box_with_title(title_bytes):
    """A stored box whose data block holds one box title (and an end marker)."""
    return header_only_box() + bytes([0x10, len(title_bytes)]) + title_bytes + bytes([0x80, 0])


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


class Csv(unittest.TestCase):
    def test_quotes_commas_and_line_ends_survive_a_csv_reader(self):
        title = 'Die "Kiste", Teil 1\r\nzwei'
        with tempfile.TemporaryDirectory() as folder:
            (Path(folder) / "q.box").write_bytes(box_with_title(title.encode()))
            out = dump("--csv", "q.box", cwd=folder).stdout.decode("utf-8")
        self.assertEqual(next(csv.DictReader(io.StringIO(out, newline="")))["box.title"], title)


class Covers(unittest.TestCase):
    def test_covers_are_the_pictures_the_boxes_were_made_from(self):
        with tempfile.TemporaryDirectory() as folder:
            bare = Path(folder) / "bare.box"
            bare.write_bytes(header_only_box())
            # A stored "BMP" cover of 80 MiB, beyond the cover bound (sparse).
            from boxwriter import build_header
            huge = Path(folder) / "huge.box"
            with open(huge, "wb") as out:
                out.write(build_header({}, 80 << 20, False, False) + b"BM")
                out.truncate(64 + (80 << 20))
            (Path(folder) / "again").mkdir()
            os.symlink(EXAMPLES / "two-dvds.box", Path(folder) / "again" / "two-dvds.box")
            out = Path(folder) / "covers"
            proc = dump("--cover", str(out), *[str(EXAMPLES / f"{n}.box") for n in EXAMPLE_NAMES],
                        str(bare), str(huge), str(Path(folder) / "again" / "two-dvds.box"))
            # Not done: the bare box has no cover, the huge one is larger
            # than any cover, and a second two-dvds would overwrite the
            # first one's cover.
            self.assertEqual(proc.returncode, 1)
            errors = proc.stderr.decode().splitlines()
            self.assertEqual(len(errors), 3, errors)
            self.assertIn("bare.box: no cover", errors[0])
            self.assertIn("huge.box: the cover is larger than any picture", errors[1])
            self.assertIn("again/two-dvds.box: a cover named two-dvds.jpg", errors[2])
            made = sorted(p.name for p in out.iterdir())
            self.assertEqual(made, sorted(p.name for p in (EXAMPLES / "covers").iterdir()))
            for name in made:
                with self.subTest(name):
                    self.assertEqual((out / name).read_bytes(),
                                     (EXAMPLES / "covers" / name).read_bytes())


def peak_kib(args, cwd):
    """The peak resident size of one run, in KiB."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    proc = subprocess.Popen([DUMP, *args], cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    assert proc.returncode == 0, proc.returncode
    return usage.ru_maxrss


class Streaming(unittest.TestCase):
    @unittest.skipIf(os.environ.get("QUORVEL_SANITIZED"), "peaks mean nothing under a sanitizer")
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
        hostile = b"A\x1b[31mB\x07C\x81D\x9dE\x1b]0;title\x07"
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "x\x1b[2Jy.box"
            path.write_bytes(box_with_title(hostile))
            master, slave = pty.openpty()
            env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
            proc = subprocess.Popen([DUMP, str(path)], stdout=slave, stderr=slave, env=env)
            os.close(slave)
            seen = b""
            while True:
                try:
                    chunk = os.read(master, 4096)
                except OSError:  # the other end closed
                    break
                if not chunk:
                    break
                seen += chunk
            os.close(master)
            self.assertEqual(proc.wait(), 0)
            self.assertIn(b"Box-Titel:", seen)
            self.assertIn(b"A^[[31mB^GC<U+0081>D<U+009D>E", seen)
            self.assertIn(b"x^[[2Jy.box", seen)
            # The terminal turns each line end into CR LF; nothing else below 0x20.
            controls = {b for b in seen if b < 0x20 or b == 0x7F} - {0x09, 0x0A, 0x0D}
            self.assertEqual(controls, set())
            self.assertFalse(any(0x80 <= seen[i + 1] <= 0x9F for i in range(len(seen) - 1)
                                 if seen[i] == 0xC2), "a C1 control in UTF-8")
            # Written to a pipe instead, the text stays exact.
            exact = dump("--raw", str(path)).stdout
            self.assertIn(hostile, exact)


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
