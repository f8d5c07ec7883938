#!/usr/bin/env python3
"""Times quorvel-dump against a bare zlib reader, whole processes side by side.

Usage: python3 bench/run.py [--runs N] [--build DIR] [--only SUBSTRING]

Builds a Release tree (default build-bench/), makes the inputs with
bench/make_inputs.py, then runs `quorvel-dump --raw`, `quorvel-dump --json`
and bench/bare_inflate on each input in turn, N times (default 5). Prints, per input, the median CPU seconds (user + system) and
peak resident memory of each, and the medians of the per-run ratios.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

TOP = Path(__file__).resolve().parent.parent


def build(build_dir):
    subprocess.run(["cmake", "-S", TOP, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DQUORVEL_BUILD_TESTS=OFF",
                    *os.environ.get("QUORVEL_BENCH_CMAKE_ARGS", "").split()],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "-j", str(os.cpu_count() or 2), "--target",
                    "quorvel-dump", "bare_inflate"], check=True, stdout=subprocess.DEVNULL)


def measure(command):
    """CPU seconds and peak MiB of one run. CPU comes from the kernel's
    accounting of the finished process tree (wait4, microseconds); the peak
    from /usr/bin/time, whose small fork does not inherit this script's own
    high-water mark as a child forked from here would."""
    with tempfile.NamedTemporaryFile("r") as peak:
        child = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak.name, *command],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, _, usage = os.wait4(child.pid, 0)
        child.returncode = 0
        return usage.ru_utime + usage.ru_stime, int(peak.read().split()[-1]) / 1024


def measure_each(command, files):
    """One process per file (--raw takes one), CPU summed, peak the largest."""
    results = [measure([*command, f]) for f in files]
    return sum(r[0] for r in results), max(r[1] for r in results)


def inputs(build_dir):
    folder = build_dir / "inputs"
    if not (folder / "collection-100dvd.box").exists():
        subprocess.run([sys.executable, TOP / "bench" / "make_inputs.py", folder], check=True)
    cases = [("examples (3 files)", sorted(str(p) for p in (TOP / "examples").glob("*.box")))]
    cases += [(p.stem, [str(p)]) for p in sorted(folder.glob("*.box"))]
    return cases


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--build", type=Path, default=TOP / "build-bench")
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    if not Path("/usr/bin/time").exists():
        sys.exit("needs /usr/bin/time (Debian package 'time')")
    build(args.build)
    dump = str(args.build / "cli" / "quorvel-dump")
    bare = str(args.build / "bench" / "bare_inflate")
    print("| input | raw s | raw MiB | json s | json MiB | bare s | bare MiB "
          "| raw/bare | json/raw |")
    print("|---|---|---|---|---|---|---|---|---|")
    for name, files in inputs(args.build):
        if args.only not in name:
            continue
        runs = {"raw": [], "json": [], "bare": []}
        for _ in range(args.runs):
            runs["raw"].append(measure_each([dump, "--raw"], files))
            runs["json"].append(measure_each([dump, "--json"], files))
            runs["bare"].append(measure_each([bare], files))
        cpu = {k: statistics.median(r[0] for r in v) for k, v in runs.items()}
        mib = {k: statistics.median(r[1] for r in v) for k, v in runs.items()}
        ratio = lambda a, b: statistics.median(  # noqa: E731
            x[0] / max(y[0], 0.001) for x, y in zip(runs[a], runs[b]))
        print(f"| {name} | {cpu['raw']:.3f} | {mib['raw']:.0f} | {cpu['json']:.3f} "
              f"| {mib['json']:.0f} | {cpu['bare']:.3f} | {mib['bare']:.0f} "
              f"| {ratio('raw', 'bare'):.1f} | {ratio('json', 'raw'):.2f} |", flush=True)


if __name__ == "__main__":
    main()
