#!/usr/bin/env python3
"""Fails when a product folder includes one it may not, or the folders include each other in a
circle.

Usage: check-include-layers.py ROOT --allowed LIST [FOLDER...]
       check-include-layers.py ROOT FOLDER...

LIST names each folder and the folders its files may include, one folder a line
("editor: params, shell, toolkit"; "#" starts a comment); the folders to walk are the ones it
names unless FOLDERs are given. Every edge the list does not name fails. Without a list only
circles fail.

Every C++ file (.h, .cpp) in each FOLDER under ROOT is read for its quoted includes. A name is
found the way the build finds it: beside the including file (a relative path such as
"../platform/platform.h" included), else in the one FOLDER that holds a file of that name.
Each include that lands in another folder is an edge of the folder graph; the check prints the
graph and every circle it finds, and exits 1 when there is one (or when a name is ambiguous or
missing: a check that cannot see an edge must not pass).
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    root = os.path.abspath(argv[1])
    folders = argv[2:]
    allowed = None
    if folders[0] == "--allowed":
        if len(folders) < 2:
            print(__doc__)
            return 2
        allowed = read_allowed(folders[1])
        if allowed is None:
            return 1
        folders = folders[2:] or list(allowed)
    files_by_name = {}
    sources = []
    for folder in folders:
        top = os.path.join(root, folder)
        if not os.path.isdir(top):
            print(f"no folder {folder} under {root}")
            return 1
        for directory, _, names in os.walk(top):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    path = os.path.join(directory, name)
                    files_by_name.setdefault(name, []).append(folder)
                    sources.append((folder, path))

    problems = []
    edges = {folder: {} for folder in folders}
    for folder, path in sources:
        with open(path, encoding="utf-8", errors="replace") as text:
            includes = INCLUDE.findall(text.read())
        for included in includes:
            beside = os.path.normpath(os.path.join(os.path.dirname(path), included))
            if os.path.isfile(beside):
                relative = os.path.relpath(beside, root).split(os.sep)
                target = relative[0] if relative[0] in folders else None
            else:
                owners = sorted(set(files_by_name.get(os.path.basename(included), [])))
                if len(owners) > 1:
                    problems.append(f"{os.path.relpath(path, root)}: \"{included}\" is in {owners}")
                    continue
                target = owners[0] if owners else None
            if target is None:
                # Generated at build time (the embedded picture table) or outside the product.
                continue
            if target != folder:
                edges[folder].setdefault(target, os.path.relpath(path, root) + ' -> "' + included + '"')

    for folder in folders:
        below = ", ".join(sorted(edges[folder])) or "nothing"
        print(f"{folder}: includes {below}")

    # Circles: a depth-first walk that meets a folder still on its path.
    cycles = []
    state = {}

    def walk(folder, path):
        state[folder] = "open"
        path.append(folder)
        for target in sorted(edges[folder]):
            if state.get(target) == "open":
                circle = path[path.index(target):] + [target]
                cycles.append(circle)
            elif target not in state:
                walk(target, path)
        path.pop()
        state[folder] = "done"

    for folder in folders:
        if folder not in state:
            walk(folder, [])

    wrong = []
    if allowed is not None:
        for folder in folders:
            for target in sorted(edges[folder]):
                if target not in allowed.get(folder, set()):
                    wrong.append(f"{folder} -> {target}: {edges[folder][target]}")
    for edge in wrong:
        print("edge not in the list: " + edge)

    for circle in cycles:
        print("circle: " + " -> ".join(circle))
        for a, b in zip(circle, circle[1:]):
            print(f"  {edges[a][b]}")
    for problem in problems:
        print("ambiguous include: " + problem)
    if cycles or problems or wrong:
        return 1
    print("no circle" + (", every edge in the list" if allowed is not None else ""))
    return 0


def read_allowed(path):
    """The list of allowed edges: {folder: set of folders it may include}; None if malformed."""
    allowed = {}
    with open(path, encoding="utf-8") as text:
        for number, line in enumerate(text, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            folder, colon, below = line.partition(":")
            if not colon or not folder.strip():
                print(f"{path}:{number}: expected 'folder: folder, ...'")
                return None
            allowed[folder.strip()] = {b.strip() for b in below.split(",") if b.strip()}
    return allowed


if __name__ == "__main__":
    sys.exit(main(sys.argv))
