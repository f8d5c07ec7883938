#!/usr/bin/env python3
# Run: ctest --test-dir build -R XvfbCollection
#   (or: tests/xvfb/xvfb-collection.sh, which starts the X server and runs
#    this as: xvfb_collection.py VIEWER WORK_DIR)
"""The collection window under a real X server (Xvfb), driven by xdotool,
read through the clipboard (xclip): `quorvel FOLDER` on a generated
collection of 50 boxes lists them all; typing a person's name without its
umlaut leaves exactly the boxes with that person; sorting by year orders
them; Enter opens the viewer on the current row's file and Ctrl+PgDown
there shows the next row's box; a file copied into the folder appears; the
covers shown get thumbnails in the shared cache with the file's URI and
modification time. Needs: xvfb xauth xdotool xclip (Debian packages)."""

import hashlib
import os
import shutil
import subprocess
import sys
import time
import urllib.parse
import zlib
from pathlib import Path

TOP = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(TOP / "tests" / "support"))
import make_collection  # noqa: E402

WAIT = 20  # seconds anything may take on a loaded machine


class Failure(Exception):
    pass


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True,
                          text=True).stdout.strip()


def key(*keys):
    xdotool("key", "--delay", 40, *keys)


def clipboard():
    done = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True)
    return done.stdout.decode("utf-8", "replace") if done.returncode == 0 else ""


def wait_for(what, probe):
    """probe() until it returns something true; that value."""
    deadline = time.monotonic() + WAIT
    while time.monotonic() < deadline:
        value = probe()
        if value:
            return value
        time.sleep(0.2)
    raise Failure(f"waited {WAIT} s in vain for {what}")


# The viewer's title: the shown file's name before the program's.
VIEWER_TITLE = "^(.* – )?Quorvel$"


def window(pattern):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                           capture_output=True, text=True).stdout.split()
    return found[0] if found else None


def focus(win):
    xdotool("windowfocus", "--sync", win)


def shown_rows(win):
    """The window's rows, in order: Tab into the view, select all, copy the
    paths, Tab back to the search field."""
    focus(win)
    subprocess.run(["xclip", "-selection", "clipboard", "/dev/null"], check=True)
    key("Tab", "ctrl+a", "ctrl+c", "shift+Tab")
    time.sleep(0.2)
    return clipboard().splitlines()


def viewer_text():
    """The record text of the viewer window: select all, copy."""
    win = wait_for("the viewer window", lambda: window(VIEWER_TITLE))
    focus(win)
    subprocess.run(["xclip", "-selection", "clipboard", "/dev/null"], check=True)
    key("ctrl+a", "ctrl+c")
    return wait_for("the viewer's text on the clipboard", clipboard)


def png_texts(data):
    """The tEXt chunks of a PNG file."""
    texts, at = {}, 8
    while at + 8 <= len(data):
        length = int.from_bytes(data[at:at + 4], "big")
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + length]
        if kind == b"tEXt":
            name, _, value = body.partition(b"\0")
            texts[name.decode("latin-1")] = value.decode("latin-1")
        elif kind == b"zTXt":
            name, _, rest = body.partition(b"\0")
            texts[name.decode("latin-1")] = zlib.decompress(rest[1:]).decode("latin-1")
        at += 12 + length
    return texts


def file_uri(path):
    return "file://" + urllib.parse.quote(str(path), safe="/-._~!$&'()*+,=:@")


def check(viewer, work):
    sammlung = work / "sammlung"
    boxes = make_collection.make_collection(sammlung, 50, seed=7, per_folder=20)
    by_path = {box["path"]: box for box in boxes}
    env = dict(os.environ, XDG_CACHE_HOME=str(work / "cache"))
    log = open(work / "quorvel.log", "wb")
    process = subprocess.Popen([viewer, str(sammlung)], env=env, stdout=log, stderr=log)
    try:
        win = wait_for("the collection window", lambda: window("^sammlung .+ Quorvel-Sammlung$"))
        wait_for("all 50 boxes", lambda: len(set(shown_rows(win))) == 50)

        # A person's name typed without its umlaut: exactly that person's boxes.
        name, plain = "Brückner", "bruckner"
        want = {b["path"] for b in boxes
                if any(p.startswith(name + ",") for f in b["films"] for p in f["persons"])}
        if not 0 < len(want) < 50:
            raise Failure(f"the generated set has {len(want)} boxes with {name}")
        focus(win)
        xdotool("type", "--delay", 60, plain)
        got = wait_for(f"the rows of {plain}", lambda: (r := shown_rows(win)) and set(r) == want and r)

        # Sorting by year (Ctrl+5): the earliest film year, then the latest.
        key("ctrl+5")
        def years(path):
            found = [f["year"] for f in by_path[path]["films"]]
            return (min(found), max(found))
        ordered = wait_for("the rows in year order", lambda: (
            (r := shown_rows(win)) and set(r) == want and
            [years(p) for p in r] == sorted(years(p) for p in r) and r))

        # Enter opens the first row's box; Ctrl+PgDown shows the second row's.
        focus(win)
        key("ctrl+Home", "Return")
        first = viewer_text()
        if f"Box-EAN:\t\t{by_path[ordered[0]]['ean']}" not in first:
            raise Failure(f"Enter did not open {ordered[0]}:\n{first[:300]}")
        key("ctrl+Next")
        time.sleep(0.3)
        second = viewer_text()
        if f"Box-EAN:\t\t{by_path[ordered[1]]['ean']}" not in second:
            raise Failure(f"Ctrl+PgDown did not show the next row, {ordered[1]}:\n{second[:300]}")
        key("Escape")
        wait_for("the viewer to close", lambda: window(VIEWER_TITLE) is None)

        # A box copied into the tree appears without a key pressed.
        copied = sammlung / "teil001" / "neu.box"
        shutil.copy(TOP / "examples" / "kinderkiste.box", copied)
        focus(win)
        key("Escape")  # clears the search
        xdotool("type", "--delay", 60, "hollerbacher")
        wait_for("the copied box", lambda: shown_rows(win) == [str(copied)])

        # Its cover, shown now, is in the shared cache, for this file as it is.
        entry = (work / "cache" / "thumbnails" / "normal" /
                 (hashlib.md5(file_uri(copied).encode()).hexdigest() + ".png"))
        wait_for(f"the thumbnail {entry}", entry.exists)
        texts = png_texts(entry.read_bytes())
        if texts.get("Thumb::URI") != file_uri(copied):
            raise Failure(f"Thumb::URI is {texts.get('Thumb::URI')}")
        if texts.get("Thumb::MTime") != str(int(copied.stat().st_mtime)):
            raise Failure(f"Thumb::MTime is {texts.get('Thumb::MTime')}")

        focus(win)
        key("ctrl+w")
        if process.wait(timeout=WAIT) != 0:
            raise Failure(f"the program ended with status {process.returncode}")
        return len(want)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
        log.close()


def main():
    viewer, work = Path(sys.argv[1]), Path(sys.argv[2])
    try:
        found = check(viewer, work)
    except (Failure, subprocess.SubprocessError) as error:
        print(f"FAIL: {error}", file=sys.stderr)
        print((work / "quorvel.log").read_text(errors="replace"), file=sys.stderr)
        sys.exit(1)
    print(f"OK: 50 boxes listed, {found} found without the umlaut, sorted by year, opened and "
          "stepped in the viewer; a copied box appeared with its thumbnail")


if __name__ == "__main__":
    main()
