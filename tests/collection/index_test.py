#!/usr/bin/env python3
# Run: python3 tests/collection/index_test.py --dump build/cli/quorvel-dump \
#          [--hostile-dir build/hostile]       (or: ctest -R CollectionIndex)
"""quorvel-dump --sqlite and --search on real trees, with the real SQLite:
incremental runs, a run killed with SIGKILL, two runs at once, damaged
databases, files replaced while read, odd trees, hostile boxes, the shell
search and the progress line."""

import argparse
import os
import pty
import resource
import signal
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from pathlib import Path

TOP = Path(__file__).resolve().parents[2]
EXAMPLES = TOP / "examples"
sys.path.insert(0, str(TOP / "tools"))
import boxwriter  # noqa: E402

DUMP = None
HOSTILE_DIR = None


def run(*args, **kwargs):
    return subprocess.run([DUMP, *map(str, args)], capture_output=True, **kwargs)


def box_bytes(title, films=(), year=1990):
    """A small stored box: a box title and one DVD of films."""
    tokens = [{"marker": 128}, {"box_title": title}, {"dvd_title": title + " DVD"}]
    for number, film in enumerate(films):
        tokens += [{"film_title": film}, {"film_year": year + number}]
    description = {"header": {"exportDate": "20070314", "exportTime": "101010"},
                   "data": {"tokens": tokens}}
    return boxwriter.build_box(description)


def write_box(path, title, films=()):
    """Writes by rename, as an export would replace a file."""
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    part = path.with_name(path.name + ".part")
    part.write_bytes(box_bytes(title, films))
    os.replace(part, path)


def db_titles(db):
    """Stored path (bytes) -> (box title, sorted film titles), readable boxes only."""
    connection = sqlite3.connect(db)
    connection.text_factory = bytes
    rows = {}
    for box_id, path, title in connection.execute(
            "SELECT id, path, title FROM boxes WHERE status = 'ok'"):
        films = sorted(t.decode() for (t,) in connection.execute(
            "SELECT title FROM films WHERE box_id = ? AND title IS NOT NULL", (box_id,)))
        rows[path] = (title.decode() if title else None, films)
    connection.close()
    return rows


def box_ids(db):
    connection = sqlite3.connect(db)
    connection.text_factory = bytes
    ids = dict(connection.execute("SELECT path, id FROM boxes"))
    connection.close()
    return ids


def count(db, sql):
    connection = sqlite3.connect(db)
    value = connection.execute(sql).fetchone()[0]
    connection.close()
    return value


def linked_tree(folder, total):
    """`total` hard links to the example boxes, 500 to a folder (quick to
    make, distinct paths); returns `total`."""
    sources = sorted(EXAMPLES.glob("*.box"))
    for index in range(total):
        source = sources[index % len(sources)]
        target = Path(folder) / f"part{index // 500:03d}" / f"{source.stem}-{index:06d}.box"
        target.parent.mkdir(parents=True, exist_ok=True)
        os.link(source, target)
    return total


class Incremental(unittest.TestCase):
    def test_changed_added_removed_and_unchanged(self):
        with tempfile.TemporaryDirectory() as top:
            tree, db = Path(top, "tree"), Path(top, "c.sqlite")
            for i in range(30):
                write_box(tree / f"f{i % 4}" / f"b{i:02d}.BOX", f"Box {i}", [f"Film {i}a", f"Film {i}b"])
            self.assertEqual(run("--sqlite", db, tree).returncode, 0)
            want = {str(tree / f"f{i % 4}" / f"b{i:02d}.BOX").encode(): (f"Box {i}", [f"Film {i}a", f"Film {i}b"])
                    for i in range(30)}
            self.assertEqual(db_titles(db), want)

            # Nothing changed: no box is stored again (a stored box gets a new id).
            before = box_ids(db)
            self.assertEqual(run("--sqlite", db, tree).returncode, 0)
            self.assertEqual(box_ids(db), before)

            changed, removed = tree / "f1" / "b05.BOX", tree / "f2" / "b06.BOX"
            write_box(changed, "Box 5 neu", ["Ganz anders"])
            removed.unlink()
            write_box(tree / "neu" / "tief" / "x.box", "Neu", ["Neuer Film"])
            (tree / "f3").rename(tree / "f3-umbenannt")
            self.assertEqual(run("--sqlite", db, tree).returncode, 0)
            want[str(changed).encode()] = ("Box 5 neu", ["Ganz anders"])
            del want[str(removed).encode()]
            want[str(tree / "neu" / "tief" / "x.box").encode()] = ("Neu", ["Neuer Film"])
            for key in [k for k in want if b"/f3/" in k]:
                want[key.replace(b"/f3/", b"/f3-umbenannt/")] = want.pop(key)
            self.assertEqual(db_titles(db), want)
            after = box_ids(db)
            untouched = [p for p in before if p in after and b"/f0/" in p]
            self.assertTrue(untouched)
            self.assertTrue(all(before[p] == after[p] for p in untouched))

    def test_unreadable_boxes_are_kept_with_their_reason(self):
        with tempfile.TemporaryDirectory() as top:
            tree, db = Path(top, "tree"), Path(top, "c.sqlite")
            write_box(tree / "good.box", "Gut", ["Film"])
            (tree / "short.box").write_bytes(b"MIRAX4.0")
            (tree / "magic.box").write_bytes(b"X" * 100)
            for attempt in range(2):  # the second run reads nothing, reports the same
                proc = run("--sqlite", db, tree, tree / "good.box", tree / "nothing.box")
                self.assertEqual(proc.returncode, 1, attempt)
                err = proc.stderr.decode()
                for name in ("short.box", "magic.box", "nothing.box"):
                    self.assertIn(name, err)
                self.assertNotIn("good.box", err)
            connection = sqlite3.connect(db)
            rows = dict(connection.execute(
                "SELECT substr(path, length(path) - 8), status || ': ' || coalesce(reason, '') FROM boxes"))
            connection.close()
            self.assertTrue(rows["short.box"].startswith("too-short: "), rows)
            self.assertTrue(rows["magic.box"].startswith("wrong-magic: "), rows)
            self.assertEqual(rows["/good.box"], "ok: ")


def snake(key):
    return "".join("_" + c.lower() if c.isupper() else c for c in key)


def sql_value(value):
    """A --records value as the database holds it."""
    if isinstance(value, bool):
        return int(value)
    if isinstance(value, list):  # region numbers
        return "; ".join(map(str, value))
    return value


class Agreement(unittest.TestCase):
    def test_database_holds_what_records_shows(self):
        """Every stored field against the dump tool's own --records, over the
        examples and generated boxes of every shape the model knows."""
        import json
        sys.path.insert(0, str(TOP / "tests" / "model"))
        import gen_boxes  # noqa: E402
        with tempfile.TemporaryDirectory() as top:
            tree, db = Path(top, "tree"), Path(top, "c.sqlite")
            gen_boxes.generate(tree / "gen", 150, 20240229)
            for example in EXAMPLES.glob("*.box"):
                os.link(example, tree / example.name)
            run("--sqlite", db, tree)
            paths = sorted(str(p) for p in tree.rglob("*") if p.is_file())
            records = json.loads(run("--records", "--", *paths).stdout)
            connection = sqlite3.connect(db)
            connection.row_factory = sqlite3.Row
            checked = 0
            for record in records:
                with self.subTest(record["file"]):
                    row = connection.execute("SELECT * FROM boxes WHERE path = ?",
                                             (record["file"],)).fetchone()
                    if "error" in record:
                        if row is not None:  # a name that is no box file is not walked
                            self.assertEqual(row["reason"], record["error"])
                        continue
                    want = {"exported": record["exported"],
                            "cover_compressed": int(record["compression"]["cover"]),
                            "data_compressed": int(record["compression"]["data"]),
                            "cover_format": (record["cover"] or {}).get("format"),
                            "cover_bytes": (record["cover"] or {}).get("bytes"),
                            "content": record["content"], "comment": record["comment"],
                            "unknown_tokens": record["unknownTokens"]}
                    want.update({snake(k): sql_value(v) for k, v in record["box"].items()})
                    self.assertEqual({k: row[k] for k in want}, want)
                    dvds = connection.execute("SELECT * FROM dvds WHERE box_id = ? ORDER BY "
                                              "position", (row["id"],)).fetchall()
                    self.assertEqual(len(dvds), len(record["dvds"]))
                    for dvd, want_dvd in zip(dvds, record["dvds"]):
                        fields = {snake(k): sql_value(v) for k, v in want_dvd.items()
                                  if k != "films"}
                        self.assertEqual({k: dvd[k] for k in fields}, fields)
                        films = connection.execute("SELECT * FROM films WHERE dvd_id = ? ORDER "
                                                   "BY position", (dvd["id"],)).fetchall()
                        self.assertEqual(len(films), len(want_dvd["films"]))
                        for film, want_film in zip(films, want_dvd["films"]):
                            lists = {"furtherTitles", "languages", "persons"}
                            fields = {snake(k): sql_value(v) for k, v in want_film.items()
                                      if k not in lists}
                            self.assertEqual({k: film[k] for k in fields}, fields)
                            stored = lambda table: [  # noqa: E731
                                {k: r[k] for k in r.keys() if k not in ("film_id", "position")}
                                for r in connection.execute(
                                    f"SELECT * FROM {table} WHERE film_id = ? ORDER BY position",
                                    (film["id"],))]
                            self.assertEqual(stored("further_titles"),
                                             [{"text": t} for t in want_film["furtherTitles"]])
                            self.assertEqual(stored("languages"), want_film["languages"])
                            self.assertEqual(stored("persons"), want_film["persons"])
                            checked += 1
            connection.close()
            self.assertGreater(checked, 50)


class RealUse(unittest.TestCase):
    def test_killed_run_leaves_a_sound_database_and_the_next_run_completes(self):
        with tempfile.TemporaryDirectory() as top:
            tree, db = Path(top, "tree"), Path(top, "c.sqlite")
            total = linked_tree(tree, 8000)
            proc = subprocess.Popen([DUMP, "--sqlite", db, tree], stderr=subprocess.DEVNULL)
            stored = 0
            deadline = time.monotonic() + 60
            while time.monotonic() < deadline and proc.poll() is None:
                try:
                    stored = count(db, "SELECT count(*) FROM boxes")
                except sqlite3.Error:
                    stored = 0
                if stored > 0:
                    break
                time.sleep(0.005)
            proc.send_signal(signal.SIGKILL)
            proc.wait()
            self.assertEqual(proc.returncode, -signal.SIGKILL, "the run ended before the kill")
            self.assertLess(stored, total, "the run ended before the kill")
            self.assertEqual(count(db, "PRAGMA integrity_check"), "ok")
            self.assertEqual(run("--sqlite", db, tree).returncode, 0)
            self.assertEqual(count(db, "PRAGMA integrity_check"), "ok")
            self.assertEqual(count(db, "SELECT count(*) FROM boxes WHERE status = 'ok'"), total)
            self.assertEqual(count(db, "SELECT count(*) FROM films"), self.films_of(tree))

    def films_of(self, tree):
        per = {}
        for example in EXAMPLES.glob("*.box"):
            with tempfile.TemporaryDirectory() as top:
                db = Path(top, "one.sqlite")
                run("--sqlite", db, example)
                per[example.stem] = count(db, "SELECT count(*) FROM films")
        return sum(per[p.name.rsplit("-", 1)[0]] for p in Path(tree).rglob("*.box"))

    def test_two_indexers_at_once(self):
        with tempfile.TemporaryDirectory() as top:
            tree, db = Path(top, "tree"), Path(top, "c.sqlite")
            total = linked_tree(tree, 3000)
            procs = [subprocess.Popen([DUMP, "--sqlite", db, tree], stderr=subprocess.PIPE)
                     for _ in range(2)]
            for proc in procs:
                _, err = proc.communicate(timeout=120)
                self.assertEqual(proc.returncode, 0, err)
                self.assertNotIn(b"locked", err)
            self.assertEqual(count(db, "SELECT count(*) FROM boxes"), total)
            self.assertEqual(count(db, "SELECT count(*) FROM films"), self.films_of(tree))
            self.assertEqual(count(db, "SELECT count(*) FROM box_fts"), total)

    def test_damaged_database_is_rebuilt_and_said_once(self):
        def garbage(db):
            db.write_bytes(os.urandom(50000))

        def truncated(db):
            with open(db, "r+b") as f:
                f.truncate(db.stat().st_size // 2)

        def other_version(db):
            connection = sqlite3.connect(db)
            connection.execute("PRAGMA user_version = 99")
            connection.commit()
            connection.close()

        def foreign(db):
            db.unlink()
            connection = sqlite3.connect(db)
            connection.execute("CREATE TABLE boxes (x)")
            connection.commit()
            connection.close()

        for damage in (garbage, truncated, other_version, foreign):
            with self.subTest(damage.__name__), tempfile.TemporaryDirectory() as top:
                tree, db = Path(top, "tree"), Path(top, "c.sqlite")
                linked_tree(tree, 1500)
                self.assertEqual(run("--sqlite", db, tree).returncode, 0)
                want = db_titles(db)
                damage(db)
                proc = run("--sqlite", db, tree)
                self.assertEqual(proc.returncode, 0, proc.stderr)
                self.assertEqual(proc.stderr.decode().count("rebuilt"), 1, proc.stderr)
                self.assertEqual(db_titles(db), want)
                self.assertEqual(count(db, "PRAGMA integrity_check"), "ok")
                # And a search on a damaged file answers, empty.
                damage(db)
                proc = run("--search", "nebelwald", "--sqlite", db)
                self.assertEqual(proc.returncode, 0, proc.stderr)
                self.assertEqual(proc.stdout, b"")

    def test_box_replaced_while_read(self):
        with tempfile.TemporaryDirectory() as top:
            tree, db = Path(top, "tree"), Path(top, "c.sqlite")
            linked_tree(tree, 3000)
            target = tree / "part000" / "zz.box"
            stop = threading.Event()

            def replace():
                n = 0
                while not stop.is_set():
                    n += 1
                    write_box(target, f"Fassung {n}", ["x" * (n % 50)])

            replacer = threading.Thread(target=replace)
            replacer.start()
            try:
                first = run("--sqlite", db, tree)
            finally:
                stop.set()
                replacer.join()
            self.assertEqual(first.returncode, 0, first.stderr)
            final_title = db_titles_of_disk(target)
            self.assertEqual(run("--sqlite", db, tree).returncode, 0)
            self.assertEqual(db_titles(db)[str(target).encode()][0], final_title)


def db_titles_of_disk(path):
    """The box title on disk, read by the dump tool's own records form."""
    import json
    record = json.loads(run("--records", path).stdout)[0]
    return record["box"]["title"]


class Trees(unittest.TestCase):
    def test_loops_odd_names_big_folder_and_unreadable_folder(self):
        with tempfile.TemporaryDirectory() as top:
            tree, db = Path(top, "tree"), Path(top, "c.sqlite")
            tree.mkdir()
            os.chmod(top, 0o755)
            want = set()
            odd = [b"ung\xfcltig.box", b"zeile\nzwei.box", b"\"quote's\".box", b"leer zeichen.BoX"]
            for name in odd:
                path = os.path.join(bytes(tree), name)
                with open(path, "wb") as f:
                    f.write(box_bytes("Odd", ["Film"]))
                want.add(path)
            os.symlink("..", tree / "loop")                     # a folder link: not followed
            os.symlink(tree, tree / "self")
            (tree / "sub").mkdir()
            os.symlink(tree / "sub", tree / "sub" / "again")
            write_box(tree / "sub" / "in-sub.box", "Sub", ["Film"])
            want.add(bytes(tree / "sub" / "in-sub.box"))
            os.symlink(tree / "sub" / "in-sub.box", tree / "link-to-file.box")
            want.add(bytes(tree / "link-to-file.box"))
            big = tree / "gross"
            big.mkdir()
            source = big / "00000.box"
            write_box(source, "Gross", ["Film"])
            for i in range(1, 100000):
                # Mostly other files, every 100th a box: the walk's cost, not the reading's.
                name = big / (f"{i:05d}.box" if i % 100 == 0 else f"{i:05d}.txt")
                if i % 100 == 0:
                    os.link(source, name)
                    want.add(bytes(name))
                else:
                    name.touch()
            want.add(bytes(source))
            closed = tree / "verschlossen"
            write_box(closed / "hidden.box", "Verborgen", ["Film"])
            os.chmod(closed, 0)
            for path in [tree, *tree.rglob("*")]:
                if path.is_dir() and not path.is_symlink() and path != closed:
                    os.chmod(path, 0o755)
            as_other = {"user": "nobody"} if os.geteuid() == 0 else {}
            if as_other:
                os.chmod(db.parent, 0o777)
            try:
                proc = run("--sqlite", db, tree, timeout=120, **as_other)
            finally:
                os.chmod(closed, 0o755)
            self.assertEqual(proc.returncode, 1, proc.stderr)
            self.assertIn(b"verschlossen: Permission denied", proc.stderr)
            self.assertEqual(set(db_titles(db)), want)
            self.assertEqual(count(db, "SELECT count(*) FROM unreadable_folders"), 1)

    def test_hostile_boxes_in_the_tree(self):
        if HOSTILE_DIR is None:
            self.skipTest("no --hostile-dir")
        names = sorted(p.name for p in Path(HOSTILE_DIR).glob("*.box"))
        self.assertTrue(names)
        with tempfile.TemporaryDirectory() as top:
            db = Path(top, "c.sqlite")
            # Each worker's box stays within the 1 GiB one box may cost.
            limit = (len(os.sched_getaffinity(0)) + 1) << 30

            def bounded():
                resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

            proc = run("--sqlite", db, HOSTILE_DIR, preexec_fn=bounded, timeout=10 * len(names))
            self.assertIn(proc.returncode, (0, 1), proc.stderr)
            connection = sqlite3.connect(db)
            stored = sorted(Path(p).name for (p,) in connection.execute("SELECT path FROM boxes"))
            connection.close()
            self.assertEqual(stored, names)


class Shell(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.top = tempfile.TemporaryDirectory()
        cls.db = Path(cls.top.name, "c.sqlite")
        run("--sqlite", cls.db, EXAMPLES)

    @classmethod
    def tearDownClass(cls):
        cls.top.cleanup()

    def test_search_forms(self):
        two = str(EXAMPLES / "two-dvds.box")
        cases = [
            (["bruckner"], f"{two}\n"),
            (["BRÜCKNER jahr:1996"], f"{two}\n"),
            (["nebelw"], f"{two}\n"),
            (['"wald nebel"'], ""),
            (["person:nebelwald"], ""),
            (["(\"*:^ AND OR NEAR"], ""),
            ([""], ""),
        ]
        for args, want in cases:
            with self.subTest(args):
                proc = run("--search", *args, "--sqlite", self.db)
                self.assertEqual(proc.returncode, 0, proc.stderr)
                self.assertEqual(proc.stdout.decode(), want)
        import json
        hits = json.loads(run("--search", "bruckner jahr:1996", "--sqlite", self.db, "--json").stdout)
        self.assertEqual([h["file"] for h in hits], [two])
        self.assertEqual([f["year"] for f in hits[0]["films"]], [1996])
        lines = run("--search", "fsk:12", "--sqlite", self.db, "--lines").stdout.decode().splitlines()
        self.assertEqual(sorted(json.loads(line)["file"] for line in lines),
                         sorted([two, str(EXAMPLES / "krimi-abende.box")]))
        self.assertEqual(run("--search", "x", "--sqlite", Path(self.top.name, "none")).returncode, 1)
        self.assertEqual(run("--search", "x", "--sqlite", self.db, EXAMPLES).returncode, 2)

    def test_progress_only_on_a_terminal(self):
        quiet = run("--sqlite", Path(self.top.name, "quiet.sqlite"), EXAMPLES)
        self.assertEqual((quiet.returncode, quiet.stderr), (0, b""))
        parent, child = pty.openpty()
        proc = subprocess.run([DUMP, "--sqlite", Path(self.top.name, "tty.sqlite"), EXAMPLES],
                              stderr=child, stdout=subprocess.DEVNULL)
        os.close(child)
        shown = os.read(parent, 4096).decode()
        os.close(parent)
        self.assertEqual(proc.returncode, 0)
        self.assertIn("3 of 3 files", shown)
        self.assertIn("files/s", shown)


def main():
    global DUMP, HOSTILE_DIR
    parser = argparse.ArgumentParser()
    parser.add_argument("--dump", required=True)
    parser.add_argument("--hostile-dir")
    args, rest = parser.parse_known_args()
    DUMP = os.path.abspath(args.dump)
    HOSTILE_DIR = args.hostile_dir
    unittest.main(argv=[sys.argv[0], *rest])


if __name__ == "__main__":
    main()
