#!/usr/bin/env python3
"""The collection index and search, timed as whole processes.

Builds a Release tree (default build-bench/), writes 10,000 boxes with
bench/make_collection.py (once; kept in BUILD/collection-inputs), then:
- quorvel-dump --records over all of them into /dev/null (one process, the
  baseline the cold index is compared with);
- a cold quorvel-dump --sqlite of 1,000 and of 10,000 boxes, and a re-run
  over the unchanged 10,000 (wall and CPU seconds, peak resident MiB, the
  database's size);
- the 200 queries of queries.txt against the 10,000-box index, all hits and
  the first 100 (bench/collection_search_bench.cpp);
- with --large, 100,000 boxes: ten hard-linked copies of the 10,000 (real
  files, distinct paths) indexed cold.
Not part of CTest: these are figures, not checks.

Run: python3 bench/collection_bench.py [--build DIR] [--large]
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

TOP = Path(__file__).resolve().parent.parent


def build(build_dir):
    subprocess.run(["cmake", "-S", TOP, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DQUORVEL_BUILD_TESTS=OFF",
                    *os.environ.get("QUORVEL_BENCH_CMAKE_ARGS", "").split()],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "-j", str(os.cpu_count() or 2), "--target",
                    "quorvel-dump", "collection_search_bench"], check=True,
                   stdout=subprocess.DEVNULL)


def say(name, result):
    """Each figure as soon as it is measured."""
    print(f"{name}: {json.dumps(result, ensure_ascii=False)}", flush=True)


def timed(command, stdout=subprocess.DEVNULL):
    """Wall seconds, CPU seconds and peak resident MiB of one process."""
    with tempfile.NamedTemporaryFile("r") as usage:
        start = time.monotonic()
        proc = subprocess.run(["/usr/bin/time", "-f", "%U %S %M", "-o", usage.name, *command],
                              stdout=stdout, stderr=subprocess.PIPE,
                              env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        wall = time.monotonic() - start
        if proc.returncode != 0:
            sys.exit(f"{command[:2]} failed: {proc.stderr.decode(errors='replace')[-2000:]}")
        user, system, peak_kib = usage.read().split()[-3:]
    return {"wall": round(wall, 2), "cpu": round(float(user) + float(system), 2),
            "mib": round(int(peak_kib) / 1024)}


def database_mib(db):
    return round(sum(Path(str(db) + suffix).stat().st_size
                     for suffix in ("", "-wal") if Path(str(db) + suffix).exists()) / 2**20, 1)


def index(dump, db, tree):
    for suffix in ("", "-wal", "-shm", ".lock"):
        Path(str(db) + suffix).unlink(missing_ok=True)
    run = timed([dump, "--sqlite", db, tree])
    run["db_mib"] = database_mib(db)
    return run


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", type=Path, default=TOP / "build-bench")
    parser.add_argument("--large", action="store_true", help="also 100,000 boxes")
    args = parser.parse_args()
    build(args.build)
    dump = args.build / "cli" / "quorvel-dump"
    search = args.build / "bench" / "collection_search_bench"
    inputs = args.build / "collection-inputs"
    tree = inputs / "10k"
    if not (inputs / "done").exists():
        shutil.rmtree(inputs, ignore_errors=True)
        subprocess.run([sys.executable, TOP / "bench" / "make_collection.py", tree, "10000"],
                       check=True)
        (inputs / "done").touch()
    files = sorted(str(p) for p in tree.rglob("*.box"))
    films = None
    results = {}
    with tempfile.TemporaryDirectory(dir=args.build) as scratch:
        db = Path(scratch, "c.sqlite")
        for name, measure in (
                ("records 10k", lambda: timed([dump, "--records", *files])),
                ("index 1k", lambda: index(dump, db, tree / "regal00")),
                ("index 10k", lambda: index(dump, db, tree)),
                ("re-run 10k", lambda: timed([dump, "--sqlite", db, tree]))):
            results[name] = measure()
            say(name, results[name])
        films = subprocess.run(["sqlite3", db, "SELECT count(*) FROM films"],
                               capture_output=True, text=True).stdout.strip()
        for limit in ("0", "100"):
            out = subprocess.run([search, db, tree / "queries.txt", limit], check=True,
                                 capture_output=True, text=True).stdout
            results[f"search limit {limit}"] = json.loads(out)
            say(f"search limit {limit}", results[f"search limit {limit}"])
        if args.large:
            large = Path(scratch, "100k")
            for copy in range(10):
                for path in files:
                    target = large / f"copy{copy}" / Path(path).relative_to(tree)
                    target.parent.mkdir(parents=True, exist_ok=True)
                    os.link(path, target)
            results["index 100k"] = index(dump, db, large)
            say("index 100k", results["index 100k"])
            results["re-run 100k"] = timed([dump, "--sqlite", db, large])
            say("re-run 100k", results["re-run 100k"])

    cold = results["index 10k"]["wall"]
    print(f"films in the 10k index: {films}")
    print("| run | wall s | CPU s | peak MiB | database MiB |")
    print("|---|---|---|---|---|")
    for name, run in results.items():
        if "wall" in run:
            print(f"| {name} | {run['wall']} | {run['cpu']} | {run['mib']} | "
                  f"{run.get('db_mib', '')} |")
    print(f"cold index / records: {cold / results['records 10k']['wall']:.2f}")
    print(f"re-run / cold: {results['re-run 10k']['wall'] / cold:.3f}")
    print(f"peak 10k / 1k: {results['index 10k']['mib'] / results['index 1k']['mib']:.2f}")


if __name__ == "__main__":
    main()
