#!/usr/bin/env python3
# Run: python3 tests/model/check_model.py --dump build/cli/quorvel-dump \
#          --mkimage build/tools/quorvel-mkimage   (CTest: ModelAgreement)
"""Checks quorvel-dump against the reference model on seeded random box files.

Usage: check_model.py --dump PATH [--mkimage PATH] [--seed N] [--count N] [--keep DIR]

Generates the files (gen_boxes.py) into a fresh temporary folder, runs
`quorvel-dump --json` on them in batches and refmodel.py on each, and
compares the two per file and field, and whether the file made quorvel-dump
report it and exit with status 1 exactly when the model says it is no
readable box. Prints the first differences (file,
field, both values) and exits 1 when there is any, 0 when all agree.
--keep writes the files into DIR instead and leaves them there, for
looking at a difference afterwards.
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import gen_boxes  # noqa: E402
import refmodel  # noqa: E402

BATCH = 50
SHOWN_DIFFERENCES = 10


def run_dump(dump, paths):
    """quorvel-dump's JSON objects for the paths, in order, its exit status and
    the set of paths it reported as unreadable."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    proc = subprocess.run([dump, "--json", "--", *paths], capture_output=True, env=env)
    if proc.returncode not in (0, 1):
        raise RuntimeError(f"quorvel-dump exited with {proc.returncode}: "
                           f"{proc.stderr.decode(errors='replace')}")
    lines = proc.stderr.decode("utf-8", errors="surrogateescape").splitlines()
    reported = {p for p in paths if any(line.startswith(f"quorvel-dump: {p}: ") for line in lines)}
    return json.loads(proc.stdout.decode("utf-8")), proc.returncode, reported


def differences(engine, model):
    """(field, engine value, model value) for every field in which they differ."""
    out = [(k, engine.get(k), model[k]) for k in ("file", "shown") if engine.get(k) != model[k]]
    labels = engine.get("labels", {})
    for key in sorted(set(labels) | set(model["labels"])):
        if labels.get(key) != model["labels"].get(key):
            out.append((f"labels.{key}", labels.get(key), model["labels"].get(key)))
    if engine.get("text") != model["text"]:
        text = engine.get("text") or ""
        at = next((i for i, (x, y) in enumerate(zip(text, model["text"])) if x != y),
                  min(len(text), len(model["text"])))
        out.append((f"text from character {at}", text[at:at + 80], model["text"][at:at + 80]))
    extra = sorted(set(engine) - {"file", "shown", "labels", "text"})
    if extra:
        out.append(("keys", extra, "none"))
    return out


def check(dump, paths):
    """Number of files that disagree; prints the first differences."""
    bad = 0
    for start in range(0, len(paths), BATCH):
        batch = paths[start:start + BATCH]
        engine, status, reported = run_dump(dump, batch)
        if len(engine) != len(batch):
            print(f"quorvel-dump gave {len(engine)} objects for {len(batch)} files")
            return len(batch)
        due = {p for p in batch if refmodel.unreadable(p)}
        if status != (1 if due else 0):
            print(f"quorvel-dump exited with {status} for files {start} to {start + len(batch) - 1}"
                  f", {len(due)} of them unreadable")
            bad += 1
        for path, got in zip(batch, engine):
            diffs = differences(got, refmodel.show(path))
            if (path in reported) != (path in due):
                diffs.append(("reported unreadable", path in reported, path in due))
            if diffs:
                bad += 1
                if bad <= SHOWN_DIFFERENCES:
                    for field, theirs, ours in diffs:
                        print(f"{path}: {field}\n  quorvel-dump: {theirs!r}"
                              f"\n  model:        {ours!r}")
    return bad


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dump", required=True, help="path of quorvel-dump")
    parser.add_argument("--mkimage", help="path of quorvel-mkimage")
    parser.add_argument("--seed", type=int, default=20060131)
    parser.add_argument("--count", type=int, default=400)
    parser.add_argument("--keep", type=Path, help="write the files here and keep them")
    args = parser.parse_args(argv)

    def run(folder):
        paths = gen_boxes.generate(folder, args.count, args.seed, args.mkimage)
        bad = check(args.dump, paths)
        print(f"{len(paths) - bad} of {len(paths)} files agree (seed {args.seed})")
        return 1 if bad else 0

    if args.keep:
        return run(args.keep)
    with tempfile.TemporaryDirectory(prefix="quorvel-model-") as folder:
        return run(folder)


if __name__ == "__main__":
    sys.exit(main())
