#!/usr/bin/env python3
"""Runs one hostile box file through every program form that reads box
files: quorvel-dump in each output form, quorvel-thumbnailer and the viewer
(offscreen, ending after its first paint). Each runs under a 1 GiB address
space limit and a time guard; a crash, a kill, a guard's expiry or a wrong
result fails. Guards, not timings: the figures (CPU seconds, peak resident
MiB, output bytes) are recorded per case and form for --report, never
judged.

Run:  python3 tests/hostile/run_hostile.py --dump build/cli/quorvel-dump \\
          --thumbnailer build/cli/quorvel-thumbnailer --viewer build/viewer/quorvel \\
          --dir build/hostile --case NAME
      python3 tests/hostile/run_hostile.py --dir build/hostile --report [--before DIR]

The figures go to DIR/figures/NAME.json (--figures elsewhere, e.g. for an
older build's programs); --report prints them as a table, beside those in
--before DIR when given.
"""

import argparse
import glob
import json
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_hostile  # noqa: E402

ADDRESS_SPACE = 1 << 30
GUARD_SECONDS = 10
CUT_LINE = "\r\n[Der Rest des Eintrags wird nicht angezeigt.]"
FORMS = ["text", "json", "records", "csv", "raw", "cover", "thumbnailer", "viewer"]


def limit_address_space():
    resource.setrlimit(resource.RLIMIT_AS, (ADDRESS_SPACE, ADDRESS_SPACE))


def measure(argv, work, env=None):
    """Runs argv with stdout into a file; returns (status, figures, stdout
    path, stderr text). The status is negative for a signal, None when the
    guard killed it."""
    out_path = os.path.join(work, "stdout")
    with open(out_path, "wb") as out, open(os.path.join(work, "stderr"), "w+b") as err:
        start = time.monotonic()
        child = subprocess.Popen(argv, stdout=out, stderr=err, env=env,
                                 preexec_fn=limit_address_space)
        expired = threading.Event()
        timer = threading.Timer(GUARD_SECONDS, lambda: (expired.set(), child.kill()))
        timer.start()
        _, wait_status, usage = os.wait4(child.pid, 0)
        timer.cancel()
        child.returncode = os.waitstatus_to_exitcode(wait_status)
        err.seek(0)
        stderr = err.read().decode(errors="replace")
    figures = {"cpu": round(usage.ru_utime + usage.ru_stime, 3),
               "peak_mib": round(usage.ru_maxrss / 1024, 1),
               "wall": round(time.monotonic() - start, 3)}
    return (None if expired.is_set() else child.returncode), figures, out_path, stderr


def tree_bytes(path):
    return sum(os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(path) for f in fs)


def check(form, status, expect, out_path, written):
    """Problems with what one form did."""
    if status is None:
        return [f"still running after {GUARD_SECONDS} s"]
    if status not in (0, 1):
        return [f"exit status {status} (negative: killed by that signal)"]
    problems = []
    cover = expect.get("cover")
    if form == "viewer" and status != 0:
        problems.append(f"exit status {status}, expected 0")
    elif form == "thumbnailer" and cover is not None and (status == 0) != cover:
        problems.append(f"exit status {status}: the cover should {'' if cover else 'not '}load")
    elif form == "thumbnailer" and status != 0 and written:
        problems.append(f"exit status {status} but {written} bytes written")
    elif form not in ("thumbnailer", "viewer") and status != expect.get("status", status):
        problems.append(f"exit status {status}, expected {expect['status']}")
    if form == "json":
        with open(out_path, "rb") as out:
            shown = json.load(out)[0]
        if "cut" in expect and shown["text"].endswith(CUT_LINE) != expect["cut"]:
            problems.append(f"record text of {len(shown['text'])} characters "
                            f"{'not ' if expect['cut'] else ''}cut at the bound")
        if cover is not None and (shown["labels"]["type"] != "Typ:") != cover:
            problems.append(f"cover label {shown['labels']['type']!r}: "
                            f"the cover should {'' if cover else 'not '}load")
    if form == "records" and cover is not None:
        with open(out_path, "rb") as out:
            record = json.load(out)[0]
        if ((record.get("cover") or {}).get("width") is not None) != cover:
            problems.append(f"record cover {record.get('cover')}: the cover should "
                            f"{'' if cover else 'not '}load")
    return problems


def run_case(args):
    expect = make_hostile.CASES[args.case][1]
    box = os.path.join(args.dir, args.case + ".box")
    viewer_env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QUORVEL_QUIT_AFTER_SHOW="1")
    problems, figures = [], {}
    for form in FORMS:
        work = tempfile.mkdtemp(prefix="hostile")
        try:
            made = os.path.join(work, "made")
            os.mkdir(made)
            env = None
            if form == "thumbnailer":
                argv = [args.thumbnailer, "-s", "256", box, os.path.join(made, "thumb.png")]
            elif form == "viewer":
                argv, env = [args.viewer, box], viewer_env
            elif form == "cover":
                argv = [args.dump, "--cover", made, box]
            else:
                argv = [args.dump] + ([] if form == "text" else ["--" + form]) + [box]
            status, figures[form], out_path, stderr = measure(argv, work, env)
            written = tree_bytes(made)
            figures[form]["output_bytes"] = os.path.getsize(out_path) + written
            figures[form]["status"] = status
            for problem in check(form, status, expect, out_path, written):
                problems.append(f"{args.case} {form}: {problem}")
                sys.stderr.write(stderr[-2000:])
        finally:
            shutil.rmtree(work)
    os.makedirs(args.figures, exist_ok=True)
    with open(os.path.join(args.figures, args.case + ".json"), "w") as out:
        json.dump(figures, out, indent=1)
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


def report(args):
    """One row per case and form: CPU s, peak MiB, output bytes and exit
    status, after those from --before when given."""
    runs = [folder for folder in (args.before, args.figures) if folder]
    figures = [{os.path.basename(p)[:-5]: json.load(open(p))
                for p in glob.glob(os.path.join(folder, "*.json"))} for folder in runs]
    head = ["CPU s", "peak MiB", "output bytes", "exit"]
    head = ["case", "form"] + (["before " + h for h in head] if args.before else []) + head
    print("| " + " | ".join(head) + " |\n|" + "---|" * len(head))
    for case in make_hostile.CASES:
        for form in FORMS:
            row = [case, form]
            for run in figures:
                f = run.get(case, {}).get(form)
                row += [f"{f['cpu']:.2f}", f"{f['peak_mib']:.0f}", str(f["output_bytes"]),
                        str(f["status"])] if f else ["-"] * 4
            print("| " + " | ".join(row) + " |")
    return 0


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--dir", required=True)
    parser.add_argument("--figures")
    parser.add_argument("--case", choices=list(make_hostile.CASES))
    parser.add_argument("--dump")
    parser.add_argument("--thumbnailer")
    parser.add_argument("--viewer")
    parser.add_argument("--report", action="store_true")
    parser.add_argument("--before")
    args = parser.parse_args(argv)
    args.figures = args.figures or os.path.join(args.dir, "figures")
    if args.report:
        return report(args)
    if not (args.case and args.dump and args.thumbnailer and args.viewer):
        parser.error("--case with --dump, --thumbnailer and --viewer, or --report")
    return run_case(args)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
