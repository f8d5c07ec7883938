#!/usr/bin/env python3
"""Times quorvel-dump against a bare zlib reader, whole processes side by side.

Usage: python3 bench/run.py [--runs N] [--build DIR] [--only SUBSTRING] [--viewer]

Builds a Release tree (default build-bench/), makes the inputs with
bench/make_inputs.py, then runs `quorvel-dump --raw`, `quorvel-dump --json`
and bench/bare_inflate on each input in turn, N times (default 5). Prints, per
input, the median CPU seconds (user + system) and peak resident memory of
each, and the medians of the per-run ratios.

With --viewer it then times the viewer's start-up on the 12 MiB prose box
beside bench/bare_view showing the same record text: both run with
QT_QPA_PLATFORM=offscreen and QUORVEL_QUIT_AFTER_SHOW=1, so each ends right
after its window's first paint; wall and CPU seconds from process start to
that end, and peak memory.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

TOP = Path(__file__).resolve().parent.parent


def build(build_dir, viewer):
    subprocess.run(["cmake", "-S", TOP, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DQUORVEL_BUILD_TESTS=OFF",
                    *os.environ.get("QUORVEL_BENCH_CMAKE_ARGS", "").split()],
                   check=True, stdout=subprocess.DEVNULL)
    targets = ["quorvel-dump", "bare_inflate"] + (["quorvel", "bare_view"] if viewer else [])
    subprocess.run(["cmake", "--build", build_dir, "-j", str(os.cpu_count() or 2), "--target",
                    *targets], check=True, stdout=subprocess.DEVNULL)


def measure(command, env=None):
    """CPU seconds and peak MiB of one run. CPU comes from the kernel's
    accounting of the finished process tree (wait4, microseconds); the peak
    from /usr/bin/time, whose small fork does not inherit this script's own
    high-water mark as a child forked from here would."""
    with tempfile.NamedTemporaryFile("r") as peak:
        child = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak.name, *command],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        _, status, usage = os.wait4(child.pid, 0)
        child.returncode = 0
        if status != 0:
            sys.exit(f"{command[0]} failed (wait status {status})")
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


def viewer_binary(build_dir):
    """The viewer's program, wherever this tree's layout builds it."""
    for folder in ("viewer", "app"):
        path = build_dir / folder / "quorvel"
        if path.exists():
            return str(path)
    sys.exit(f"no quorvel program under {build_dir}/viewer or {build_dir}/app")


def time_viewers(build_dir, dump, runs):
    """Start to first paint: the viewer on the prose box, bare_view on its text."""
    box = build_dir / "inputs" / "prose-12M-compressed.box"
    raw = subprocess.run([dump, "--raw", str(box)], check=True, capture_output=True).stdout
    text = build_dir / "inputs" / "prose-12M.txt"
    text.write_text(raw.decode("cp1252").replace("\r\n", "\n"), encoding="utf-8")
    env = {**os.environ, "QT_QPA_PLATFORM": "offscreen", "QUORVEL_QUIT_AFTER_SHOW": "1"}
    commands = {"viewer": [viewer_binary(build_dir), str(box)],
                "bare": [str(build_dir / "bench" / "bare_view"), str(text)]}
    runs_of = {name: [] for name in commands}
    for _ in range(runs):
        for name, command in commands.items():
            start = time.monotonic()
            cpu, mib = measure(command, env)
            runs_of[name].append((time.monotonic() - start, cpu, mib))
    print()
    print("| start to window shown, 12 MiB prose | wall s | CPU s | peak MiB |")
    print("|---|---|---|---|")
    for name, label in (("viewer", "quorvel"), ("bare", "bench/bare_view")):
        wall, cpu, mib = (statistics.median(r[i] for r in runs_of[name]) for i in range(3))
        print(f"| {label} | {wall:.3f} | {cpu:.3f} | {mib:.0f} |")
    ratio = lambda i: statistics.median(  # noqa: E731
        v[i] / max(b[i], 0.001) for v, b in zip(runs_of["viewer"], runs_of["bare"]))
    extra = statistics.median(v[2] - b[2] for v, b in zip(runs_of["viewer"], runs_of["bare"]))
    print(f"| ratio / difference | {ratio(0):.2f} | {ratio(1):.2f} | {extra:+.0f} |")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--build", type=Path, default=TOP / "build-bench")
    parser.add_argument("--only", default="")
    parser.add_argument("--viewer", action="store_true",
                        help="also time the viewer's start-up beside bench/bare_view")
    args = parser.parse_args()
    if not Path("/usr/bin/time").exists():
        sys.exit("needs /usr/bin/time (Debian package 'time')")
    build(args.build, args.viewer)
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
    if args.viewer:
        time_viewers(args.build, dump, args.runs)


if __name__ == "__main__":
    main()
