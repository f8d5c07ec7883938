#!/usr/bin/env python3
"""Runs quorvel-dump --json on one hostile box file under a 1 GiB address
space limit and checks what it shows; fails on a crash, a kill or any exit
status but 0 and 1. With --viewer, the viewer then shows the file too
(offscreen, ending after its first paint) under the same limit and must end
with status 0. Each run has a 10 s guard; guards, not timings.

Run:  python3 tests/hostile/run_hostile.py --dump build/cli/quorvel-dump \\
          [--viewer build/viewer/quorvel] --dir build/hostile --case NAME
"""

import argparse
import json
import os
import resource
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_hostile  # noqa: E402

ADDRESS_SPACE = 1 << 30
GUARD_SECONDS = 10
CUT_LINE = "\r\n[Der Rest des Eintrags wird nicht angezeigt.]"


def limit_address_space():
    resource.setrlimit(resource.RLIMIT_AS, (ADDRESS_SPACE, ADDRESS_SPACE))


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("--dump", required=True)
    parser.add_argument("--viewer")
    parser.add_argument("--dir", required=True)
    parser.add_argument("--case", required=True, choices=list(make_hostile.CASES))
    args = parser.parse_args(argv)
    expect = make_hostile.CASES[args.case][1]
    path = os.path.join(args.dir, args.case + ".box")
    run = subprocess.run([args.dump, "--json", path], capture_output=True,
                         preexec_fn=limit_address_space, check=False, timeout=GUARD_SECONDS)
    problems = []
    if run.returncode not in (0, 1):
        problems.append(f"exit status {run.returncode} (negative: killed by that signal)")
    elif "status" in expect and run.returncode != expect["status"]:
        problems.append(f"exit status {run.returncode}, expected {expect['status']}")
    if run.returncode in (0, 1):
        shown = json.loads(run.stdout)[0]
        text = shown["text"]
        if "cut" in expect and text.endswith(CUT_LINE) != expect["cut"]:
            problems.append(f"record text of {len(text)} characters "
                            f"{'not ' if expect['cut'] else ''}cut at the bound")
        if "cover" in expect and (shown["labels"]["type"] != "Typ:") != expect["cover"]:
            problems.append(f"cover label {shown['labels']['type']!r}: "
                            f"the cover should {'' if expect['cover'] else 'not '}load")
    sys.stderr.write(run.stderr.decode(errors="replace")[-2000:])
    if args.viewer:
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QUORVEL_QUIT_AFTER_SHOW="1")
        try:
            shown = subprocess.run([args.viewer, path], capture_output=True, env=env,
                                   preexec_fn=limit_address_space, check=False,
                                   timeout=GUARD_SECONDS)
            if shown.returncode != 0:
                problems.append(f"viewer exit status {shown.returncode}")
                sys.stderr.write(shown.stderr.decode(errors="replace")[-2000:])
        except subprocess.TimeoutExpired:
            problems.append(f"viewer still running after {GUARD_SECONDS} s")
    for problem in problems:
        print(f"{args.case}: {problem}", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
