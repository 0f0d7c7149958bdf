#!/usr/bin/env python3
"""Checks that the folders depend on one another only one way, and that the program's
folders hold Quendral.exe and nothing else.

    ui/ -> rotation/ -> announce/ -> support/   (Quendral.exe, exactly)
    harness/ -> support/   (what drives tests; the program never uses it)
    tools/, bench/ -> harness/, announce/, rotation/, support/
    tests/ -> anything

It reads every #include "..." of the sources and every target_link_libraries of the
CMake files, finds the folder of what is named, and fails, naming the line, when
an arrow runs the wrong way. Then it reads what the linker put into the shipped build's
Quendral.exe (its map) and the compiler's dependency files of those objects, and fails,
naming the file, on any source or header of the program's folders that went into none.
usage: check-dependencies.py [ROOT [BUILD]]   (BUILD: ROOT/build/windows, after make build)
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
# The folders Quendral.exe is built from, and nothing else.
PROGRAM = ["ui", "rotation", "announce", "support"]
PROGRAM_SOURCES = {".c", ".cpp", ".h", ".rc"}
ARCHIVE_MEMBER = re.compile(r"^(\S+\.a)\((\S+)\)$")
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


def rules(makefile):
    """{target: [prerequisites]} of a dependency file in make's syntax, as the compiler
    (name.obj.d) and CMake (depend.make, for the resource script) write them."""
    found = {}
    text = makefile.read_text(errors="replace").replace("\\\n", " ")
    for line in text.splitlines():
        target, colon, prerequisites = line.partition(": ")
        if colon and not line.startswith("#"):
            found.setdefault(target.strip(), []).extend(prerequisites.split())
    return found


def linked_objects(build):
    """The object files the linker put into Quendral.exe, as its map lists them."""
    link_folders = [d.parent.parent for d in (*build.glob("CMakeFiles/Quendral.dir"),
                                              *build.glob("*/CMakeFiles/Quendral.dir"))]
    link_map = build / "Quendral.map"
    if len(link_folders) != 1 or not link_map.is_file():
        sys.exit(f"check-dependencies: no linker map of Quendral.exe in {build}: make build "
                 "writes it")
    objects = []
    for line in link_map.read_text(errors="replace").splitlines():
        if line.startswith("Discarded input sections") or line.startswith("Memory Configuration"):
            break
        match = ARCHIVE_MEMBER.match(line)
        if not match:
            continue
        archive = (link_folders[0] / match.group(1)).resolve()
        if not archive.is_relative_to(build):
            continue  # the compiler's and the system's libraries
        # CMake keeps an archive's objects in CMakeFiles/<name>.dir beside it; a program's
        # own, in the objects.a it packs them in.
        name = archive.stem.removeprefix("lib")
        folder = archive.parent if archive.parent.suffix == ".dir" else \
            archive.parent / "CMakeFiles" / f"{name}.dir"
        found = sorted(folder.rglob(match.group(2)))
        if not found:
            sys.exit(f"check-dependencies: {archive}({match.group(2)}) is in Quendral.map "
                     f"but not in {folder}: make build again")
        objects.extend(found)
    return objects


def program_files_built(build):
    """Every file the compiler read for the objects in Quendral.exe."""
    read = set()
    for obj in linked_objects(build):
        depfiles = [pathlib.Path(f"{obj}.d"), obj.parent / "depend.make"]
        for depfile in (d for d in depfiles if d.is_file()):
            for target, prerequisites in rules(depfile).items():
                if (build / target).resolve() == obj:
                    read.update((build / p).resolve() for p in prerequisites)
    return read


def strays(root, build):
    """The program's sources and headers that are in no object of Quendral.exe."""
    built = program_files_built(build)
    return [p for folder in PROGRAM for p in sorted((root / folder).rglob("*"))
            if p.suffix in PROGRAM_SOURCES and p.resolve() not in built]


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    build = pathlib.Path(sys.argv[2]).resolve() if len(sys.argv) > 2 else root / "build" / "windows"
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

    stray = strays(root, build)
    for path in stray:
        print(f"check-dependencies: {path.relative_to(root)} is not built into Quendral.exe",
              file=sys.stderr)
    if stray:
        print(f"check-dependencies: {', '.join(f'{f}/' for f in PROGRAM)} hold what Quendral.exe "
              "is built from and nothing else: move what only the tests, the harness, the tools "
              "or the benchmark use to their folders", file=sys.stderr)
    if wrong or stray:
        return 1
    print(f"check-dependencies: every include and link runs the right way "
          f"({sum(1 for p in files if p.suffix in SOURCES)} sources, {len(cmake_files)} CMake "
          f"files), and every source of {', '.join(PROGRAM)} is in Quendral.exe")
    return 0


if __name__ == "__main__":
    sys.exit(main())
