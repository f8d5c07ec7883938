#!/usr/bin/env python3
# Run: ctest --test-dir build -R Install.Manuals
#   (or: python3 tests/install/check_manuals.py VERSION PROGRAM=PAGE...)
# Each program's --help and its manual page name the same options (the usage
# lines and option list against the SYNOPSIS and the OPTIONS tags), and
# --version prints "<program> VERSION". Where --help lists keys and context
# menu entries (the viewer's, written from its command table), the page's
# KEYS tags are the same keys and it names every entry.
import os
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z][\w-]*|--)(?![\w-])")
ROFF_ESCAPES = {r"\-": "-", r"\(dq": '"', r"\(aq": "'", r"\(ti": "~", r"\(ul": "_",
                r"\(:u": "\u00fc", r"\(:o": "\u00f6", r"\ ": " ", r"\&": "", r"\e": "\\"}


def plain(roff_line):
    """A roff line as text: no font changes, escapes or argument quotes."""
    line = re.sub(r"^\.[A-Z]{1,2}\b ?", "", roff_line)
    line = re.sub(r"\\f[BIRP]", "", line)
    for escape, text in ROFF_ESCAPES.items():
        line = line.replace(escape, text)
    return line.replace('"', "")


def sections(page):
    """Section name -> its roff lines."""
    found, name = {}, None
    for line in page.splitlines():
        if line.startswith(".SH "):
            name = line[4:].strip().strip('"')
            found[name] = []
        elif name:
            found[name].append(line)
    return found


def tags(lines):
    """The text of each .TP entry's tag line."""
    return [plain(lines[i + 1]) for i, line in enumerate(lines[:-1]) if line == ".TP"]


def options_of_page(page):
    parts = sections(page)
    listed = {OPTION.match(tag).group(1) for tag in tags(parts.get("OPTIONS", []))
              if OPTION.match(tag)}
    synopsis = set(OPTION.findall(" ".join(plain(l) for l in parts.get("SYNOPSIS", []))))
    return listed, synopsis


def help_parts(text):
    """Options of the usage lines and the option list, the keys, the menu entries."""
    lines = text.splitlines()
    usage = []
    for line in lines:
        if line.startswith("Usage:") or (usage and line[:1].isspace() and line.strip()):
            usage.append(line)
        elif usage:
            break
    options = set(OPTION.findall(" ".join(usage)))
    options |= {m.group(1) for l in lines for m in [re.match(r"  (-\S*)", l)] if m}
    keys, menus, section = set(), set(), None
    for line in lines:
        if not line.startswith(" "):
            section = line
        elif section == "Keys:":
            keys |= {k.strip() for k in re.split(r"\s{2,}", line.strip())[0].split(", ")}
        elif section and section.startswith("Context menus"):
            menus.add(re.match(r'\s*"([^"]+)"', line).group(1))
    return options, keys, menus


def check(version, program, page_path):
    name = os.path.basename(program)
    problems = []
    run = lambda arg: subprocess.run([program, arg], capture_output=True, text=True)
    shown = run("--version")
    if shown.returncode != 0 or shown.stdout != f"{name} {version}\n":
        problems.append(f"--version printed {shown.stdout!r} with status {shown.returncode}")
    usage = run("--help")
    if usage.returncode != 0:
        problems.append(f"--help ended with status {usage.returncode}")
    options, keys, menus = help_parts(usage.stdout)
    with open(page_path, encoding="utf-8") as f:
        page = f.read()
    listed, synopsis = options_of_page(page)
    if listed != options:
        problems.append(f"OPTIONS lacks {sorted(options - listed)}, "
                        f"--help lacks {sorted(listed - options)}")
    if not synopsis <= listed:
        problems.append(f"SYNOPSIS names {sorted(synopsis - listed)} that OPTIONS does not")
    page_keys = {k.strip() for tag in tags(sections(page).get("KEYS", []))
                 for k in tag.split(", ")}
    if page_keys != keys:
        problems.append(f"KEYS lacks {sorted(keys - page_keys)}, "
                        f"--help lacks {sorted(page_keys - keys)}")
    text = " ".join(plain(l) for l in page.splitlines())
    problems += [f"names no menu entry {m!r}" for m in sorted(menus) if m not in text]
    return [f"{name}: {p}" for p in problems]


def main():
    version, pairs = sys.argv[1], sys.argv[2:]
    problems = []
    for pair in pairs:
        program, page = pair.split("=", 1)
        problems += check(version, program, page)
    for problem in problems:
        print("FAIL:", problem, file=sys.stderr)
    if not problems:
        print(f"OK: {len(pairs)} programs agree with their manual pages")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
