#!/usr/bin/env python3
# Run: ctest --test-dir build -R Layering
#   (or: python3 tests/layering/check_layers.py SOURCE_DIR)
# Checks the sources against the README's layout table: every folder is in
# the table, the allowed includes form no cycle, and no #include "x/..."
# reaches a folder its row does not name.
import pathlib
import re
import sys

ROW = re.compile(r"^\|(?P<folders>[^|]*)\|[^|]*\|(?P<allowed>[^|]*)\|\s*$")
FOLDER = re.compile(r"`([A-Za-z0-9_.-]+)/`")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc"}
QT_INCLUDE = re.compile(r"^\s*#\s*include\s*<Q", re.MULTILINE)
# Folders that must build without Qt: nothing they include, directly or
# through the project's own headers, may include a Qt header.
QT_FREE = {"collection"}


def read_table(readme):
    """Folder -> set of folders it may include, or None for 'anything'."""
    text = readme.read_text(encoding="utf-8")
    section = text.split("## Layout", 1)[1].split("\n## ", 1)[0]
    rules = {}
    for line in section.splitlines():
        match = ROW.match(line)
        if not match:
            continue
        folders = FOLDER.findall(match["folders"])
        allowed_text = match["allowed"].strip()
        allowed = None if allowed_text == "anything" else set(FOLDER.findall(allowed_text))
        for folder in folders:
            rules[folder] = allowed
    return rules


def find_cycle(rules):
    """A folder on a cycle of the allowed-include graph, or None."""
    state = {}

    def visit(folder):
        state[folder] = "open"
        for target in sorted(rules.get(folder) or ()):
            if target == folder:
                continue
            if state.get(target) == "open":
                return target
            if target not in state:
                found = visit(target)
                if found:
                    return found
        state[folder] = "done"
        return None

    for folder in sorted(rules):
        if folder not in state:
            found = visit(folder)
            if found:
                return found
    return None


def included_folder(include, top_folders, root):
    """The top-level folder an include path names, or None for a local one."""
    first = include.split("/", 1)[0]
    if "/" not in include:
        return None
    if first in top_folders:
        return first
    # The tests' own include folder is on the search path of tests, benchmarks
    # and fuzzers ("support/box_builder.h").
    if (root / "tests" / first).is_dir():
        return "tests"
    return None


def qt_chain(header, root, seen):
    """The chain of project headers from `header` to one that includes Qt,
    or None."""
    if header in seen or not header.is_file():
        return None
    seen.add(header)
    text = header.read_text(encoding="utf-8", errors="replace")
    if QT_INCLUDE.search(text):
        return [header]
    for include in INCLUDE.findall(text):
        chain = qt_chain(root / include, root, seen)
        if chain:
            return [header, *chain]
    return None


def check_qt_free(root):
    problems = []
    for folder in sorted(QT_FREE):
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            chain = qt_chain(path, root, set())
            if chain:
                names = " -> ".join(str(p.relative_to(root)) for p in chain)
                problems.append(f"{names}: Qt in {folder}/, which builds without it")
    return problems


def check(root):
    problems = check_qt_free(root)
    rules = read_table(root / "README.md")
    if not rules:
        return ["README.md: no layout table found"]
    top_folders = {
        p.name for p in root.iterdir() if p.is_dir() and not p.name.startswith(".")
    }
    # Build folders configured inside the checkout are not part of the layout.
    builds = {f for f in top_folders if (root / f / "CMakeCache.txt").exists()}
    source_folders = {
        f
        for f in top_folders - builds
        if any(p.suffix in SOURCE_SUFFIXES for p in (root / f).rglob("*") if p.is_file())
    }
    for folder in sorted(source_folders - set(rules)):
        problems.append(f"{folder}/ holds sources but is not in the README's layout table")
    for folder, allowed in sorted(rules.items()):
        for target in sorted(allowed or ()):
            if target not in rules:
                problems.append(f"{folder}/ may include {target}/, which has no row")
    cycle = find_cycle(rules)
    if cycle:
        problems.append(f"the layout table's allowed includes form a cycle through {cycle}/")

    for folder, allowed in sorted(rules.items()):
        if allowed is None or not (root / folder).is_dir():
            continue
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for include in INCLUDE.findall(text):
                target = included_folder(include, top_folders, root)
                if target and target != folder and target not in allowed:
                    problems.append(
                        f"{path.relative_to(root)}: includes {include}, "
                        f"but {folder}/ may not include {target}/"
                    )
    return problems


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    problems = check(root)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
