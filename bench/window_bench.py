#!/usr/bin/env python3
"""The collection window on 10,000 boxes: start-up beside a bare table, keys,
scrolling and memory.

Builds a Release tree (default build-bench/), uses the 10,000 boxes and the
200 queries of bench/make_collection.py (made once, kept in
BUILD/collection-inputs, as bench/collection_bench.py keeps them), then:
- bench/collection_window_bench in process, on a scratch cache: the first
  run indexes the tree; each figure is from the second run, on the index as
  a user finds it: every key of the 200 queries to the next paint of the
  changed rows, the whole list and grid scrolled with a 1 ms timer noting
  the event loop's longest gap, peak memory;
- start to first painted rows, N runs each (default 5): `quorvel TREE` and
  bench/bare_collection_view on the same database (a QTableView of the
  layer's listing), both with QT_QPA_PLATFORM=offscreen and
  QUORVEL_QUIT_AFTER_SHOW=1; medians of wall and CPU seconds and peak MiB.
Not part of CTest: these are figures, not checks.

Run: python3 bench/window_bench.py [--build DIR] [--runs N]
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

TOP = Path(__file__).resolve().parent.parent
TARGETS = ["quorvel", "collection_window_bench", "bare_collection_view"]


def build(build_dir):
    subprocess.run(["cmake", "-S", TOP, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DQUORVEL_BUILD_TESTS=OFF",
                    *os.environ.get("QUORVEL_BENCH_CMAKE_ARGS", "").split()],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "-j", str(os.cpu_count() or 2), "--target",
                    *TARGETS], check=True, stdout=subprocess.DEVNULL)


def inputs(build_dir):
    folder = build_dir / "collection-inputs"
    if not (folder / "done").exists():
        shutil.rmtree(folder, ignore_errors=True)
        subprocess.run([sys.executable, TOP / "bench" / "make_collection.py", folder / "10k",
                        "10000"], check=True, stdout=subprocess.DEVNULL)
        (folder / "done").touch()
    return folder / "10k"


def timed(command, env):
    """Wall seconds, CPU seconds and peak resident MiB of one process."""
    with tempfile.NamedTemporaryFile("r") as usage:
        start = time.monotonic()
        proc = subprocess.run(["/usr/bin/time", "-f", "%U %S %M", "-o", usage.name, *command],
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
        wall = time.monotonic() - start
        if proc.returncode != 0:
            sys.exit(f"{command[0]} failed: {proc.stderr.decode(errors='replace')[-2000:]}")
        user, system, peak_kib = usage.read().split()[-3:]
    return wall, float(user) + float(system), int(peak_kib) / 1024


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", type=Path, default=TOP / "build-bench")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    build(args.build)
    tree = inputs(args.build)
    with tempfile.TemporaryDirectory(dir=args.build) as cache:
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CACHE_HOME=cache)
        bench = [args.build / "bench" / "collection_window_bench", tree, tree / "queries.txt"]
        first = json.loads(subprocess.run(bench, env=env, check=True, capture_output=True,
                                          text=True).stdout)
        print(f"first run, indexing {first['boxes']} boxes in the window: "
              f"{first['update_ms'] / 1000:.1f} s", flush=True)
        shutil.rmtree(Path(cache) / "thumbnails")  # the scroll below makes them anew
        result = json.loads(subprocess.run(bench, env=env, check=True, capture_output=True,
                                           text=True).stdout)
        print(json.dumps(result, indent=1), flush=True)

        env["QUORVEL_QUIT_AFTER_SHOW"] = "1"
        commands = {"quorvel": [args.build / "viewer" / "quorvel", tree],
                    "bench/bare_collection_view": [args.build / "bench" / "bare_collection_view",
                                                   result["database"]]}
        runs = {name: [] for name in commands}
        for _ in range(args.runs):
            for name, command in commands.items():
                runs[name].append(timed(command, env))
    print("| start to first painted rows, 10,000 boxes | wall s | CPU s | peak MiB |")
    print("|---|---|---|---|")
    for name, measured in runs.items():
        wall, cpu, mib = (statistics.median(m[i] for m in measured) for i in range(3))
        print(f"| {name} | {wall:.3f} | {cpu:.3f} | {mib:.0f} |")
    window, bare = runs["quorvel"], runs["bench/bare_collection_view"]
    ratio = [statistics.median(w[i] / max(b[i], 0.001) for w, b in zip(window, bare))
             for i in range(2)]
    print(f"| ratio | {ratio[0]:.2f} | {ratio[1]:.2f} | |")
    print()
    print("| keys typed (200 queries), key to painted rows | median ms | 90% ms | slowest ms |")
    print("|---|---|---|---|")
    print(f"| every key, {result['keys']}, wall | {result['key_median_ms']} | "
          f"{result['key_p90_ms']} | {result['key_max_ms']} |")
    print(f"| every key, CPU of the whole process | {result['key_cpu_median_ms']} | "
          f"{result['key_cpu_p90_ms']} | {result['key_cpu_max_ms']} |")
    print(f"| each query's last key, wall | {result['query_median_ms']} | | "
          f"{result['query_max_ms']} |")
    print("slowest keys (wall ms, CPU ms, text):", result["slowest_keys"])
    print()
    print("| scrolled once, a page every 16 ms | longest gap ms | most GUI CPU in one gap ms | gaps > 50 ms |")
    print("|---|---|---|---|")
    for view in ("table", "grid"):
        print(f"| {view} | {result[view + '_stall_ms']} | {result[view + '_stall_cpu_ms']} | "
              f"{result[view + '_stalls_over_50ms']} |")
    print(f"\npeak memory of the window in process: {result['peak_mib']} MiB")


if __name__ == "__main__":
    main()
