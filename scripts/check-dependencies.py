#!/usr/bin/env python3
"""Checks that the folders depend on one another only one way.

    ui/ -> rotation/ -> announce/ -> support/
    harness/ -> support/   (what drives tests; the program never uses it)
    tools/, bench/ -> harness/, announce/, rotation/, support/
    tests/ -> anything

It reads every #include "..." of the sources and every target_link_libraries of the
CMake files, finds the folder of what is named, and fails, naming the line, when
an arrow runs the wrong way. usage: check-dependencies.py [ROOT]
"""

import pathlib
import re
import sys

# What each folder may use besides itself.
ALLOWED = {
    "support": set(),
    "announce": {"support"},
    "rotation": {"announce", "support"},
    "ui": {"rotation", "announce", "support"},
    "harness": {"support"},
    "tools": {"harness", "announce", "rotation", "support"},
    "bench": {"harness", "announce", "rotation", "support"},
    "tests": {"support", "announce", "rotation", "ui", "harness", "tools", "bench"},
}
SOURCES = {".cpp", ".h", ".rc"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
LIBRARY = re.compile(r"\badd_(?:library|executable)\(\s*([A-Za-z0-9_]+)")
LINKS = re.compile(r"\btarget_link_libraries\(\s*(\S+)([^)]*)\)", re.S)


def folder_of(path, root):
    parts = path.relative_to(root).parts
    return parts[0] if parts and parts[0] in ALLOWED else None


def include_folder(name, source, root):
    """The folder an include names: from the root first, then beside the source."""
    for candidate in (root / name, source.parent / name):
        if candidate.is_file():
            return folder_of(candidate.resolve(), root)
    return None  # a system or generated header


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    files = [p for folder in ALLOWED for p in (root / folder).rglob("*") if p.is_file()]
    wrong = []

    for source in (p for p in files if p.suffix in SOURCES):
        here = folder_of(source, root)
        if here is None:
            continue
        for number, line in enumerate(source.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            there = match and include_folder(match.group(1), source, root)
            if there and there != here and there not in ALLOWED[here]:
                wrong.append(f"{source.relative_to(root)}:{number}: {here}/ includes {match.group(1)}")

    cmake_files = [p for p in files if p.name == "CMakeLists.txt" and folder_of(p, root)]
    owner = {}
    for cmake in cmake_files:
        for name in LIBRARY.findall(cmake.read_text()):
            owner[name] = folder_of(cmake, root)
    for cmake in cmake_files:
        here = folder_of(cmake, root)
        for target, libraries in LINKS.findall(cmake.read_text()):
            for library in libraries.split():
                there = owner.get(library)
                if there and there != here and there not in ALLOWED[here]:
                    wrong.append(f"{cmake.relative_to(root)}: {target} ({here}/) links {library} ({there}/)")

    for line in wrong:
        print(f"check-dependencies: {line}", file=sys.stderr)
    if wrong:
        print("check-dependencies: the arrows run ui -> rotation -> announce -> support and "
              "harness -> support; tools and bench use harness, announce, rotation and support "
              "only", file=sys.stderr)
        return 1
    print(f"check-dependencies: every include and link runs the right way "
          f"({sum(1 for p in files if p.suffix in SOURCES)} sources, {len(cmake_files)} CMake files)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
