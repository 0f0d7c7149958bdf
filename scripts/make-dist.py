#!/usr/bin/python3
"""Packs the release: a zip holding Quendral.exe, README.txt, LICENSE.txt,
THIRD-PARTY-NOTICES.txt and SHA256SUMS.

usage: make-dist.py --version TEXT --exe Quendral.exe --readme README.txt
                    --license LICENSE --notices THIRD-PARTY-NOTICES.txt
                    [--link-map Quendral.map] --out ZIP

The zip is the same bytes on every run from the same inputs: its entries come in a
fixed order, each with the same date (1980-01-01 00:00, the earliest a zip holds),
the same permissions (0644) and no extra fields.
The text files get Windows line endings, and README.txt the version in place of
@VERSION@; SHA256SUMS keeps Unix ones, the form `sha256sum -c` reads.
With the linker's map of Quendral.exe, the notices keep only the sections for what
the program links, and a linked file that no section names stops the packing.
Standard library only.
"""

import argparse
import fnmatch
import hashlib
import os
import sys
import zipfile

FIXED_TIME = (1980, 1, 1, 0, 0, 0)


def windows_text(text):
    """The text with every line ending as CR LF, whatever it had."""
    lines = text.replace("\r\n", "\n").replace("\r", "\n")
    return lines.replace("\n", "\r\n")


def linked_files(map_path):
    """The files from outside the build that went into the program, from a GNU ld map:
    every archive a member was taken from, and every object file loaded. Relative
    paths, and those under the map's folder, are the build's own."""
    own = os.path.dirname(os.path.abspath(map_path)) + os.sep
    found = set()
    in_members = False
    with open(map_path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("Archive member included"):
                in_members = True
                continue
            if in_members and line and not line[0].isspace():
                if "(" not in line:
                    in_members = False
                else:
                    found.add(line[: line.index("(")])
                    continue
            if line.startswith("LOAD ") and line.endswith(".o"):
                found.add(line[len("LOAD "):])
    paths = {os.path.normpath(p) for p in found if os.path.isabs(p)}
    return sorted(p for p in paths if not p.startswith(own))


def notices_for(text, linked, notices_path):
    """The notices with only the sections for what is linked (all of them when there is
    no map), without their "Linked from:" lines. Sections are divided by a line of
    dashes; a linked file belongs to the section with the most specific pattern."""
    rule = "-" * 72
    parts = text.split("\n" + rule + "\n")
    head, sections = parts[0], parts[1:]
    patterns = []
    for index, section in enumerate(sections):
        for line in section.splitlines():
            if line.startswith("Linked from:"):
                patterns += [(p, index) for p in line[len("Linked from:"):].split()]
    used = set()
    for path in linked:
        matches = [(len(p), index) for p, index in patterns if fnmatch.fnmatchcase(path, p)]
        if not matches:
            sys.exit(f"make-dist: Quendral.exe links {path}, which no \"Linked from:\" "
                     f"line of {notices_path} names: add its notice there")
        used.add(max(matches)[1])
    kept = [head]
    for index, section in enumerate(sections):
        linked_from = [l for l in section.splitlines() if l.startswith("Linked from:")]
        if linked_from and linked and index not in used:
            continue
        kept.append("\n".join(l for l in section.split("\n") if not l.startswith("Linked from:")))
    return ("\n" + rule + "\n").join(kept)


def entry(name):
    info = zipfile.ZipInfo(name, date_time=FIXED_TIME)
    # Plain read-write files wherever unpacked (Unix mode 0644; no DOS attribute set),
    # whoever packs them: zipfile would otherwise take the packer's system.
    info.create_system = 3
    info.external_attr = 0o100644 << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--version", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--readme", required=True)
    parser.add_argument("--license", required=True)
    parser.add_argument("--notices", required=True)
    parser.add_argument("--link-map")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    with open(args.exe, "rb") as f:
        exe = f.read()
    with open(args.readme, encoding="utf-8") as f:
        readme_text = f.read()
    if "@VERSION@" not in readme_text:
        sys.exit(f"make-dist: {args.readme} has no @VERSION@ to fill in")
    readme = windows_text(readme_text.replace("@VERSION@", args.version)).encode("utf-8")

    with open(args.license, encoding="utf-8") as f:
        licence = windows_text(f.read()).encode("utf-8")
    with open(args.notices, encoding="utf-8") as f:
        notices_text = f.read()
    linked = linked_files(args.link_map) if args.link_map else []
    if args.link_map and not linked:
        sys.exit(f"make-dist: {args.link_map} names no linked file: not a GNU ld map?")
    notices = windows_text(notices_for(notices_text, linked, args.notices)).encode("utf-8")

    files = [
        ("Quendral.exe", exe),
        ("README.txt", readme),
        ("LICENSE.txt", licence),
        ("THIRD-PARTY-NOTICES.txt", notices),
    ]
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    files.append(("SHA256SUMS", sums.encode("ascii")))

    # Written beside the target and renamed over it, so a failed run leaves no half zip.
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    partial = args.out + ".partial"
    with zipfile.ZipFile(partial, "w") as z:
        for name, data in files:
            z.writestr(entry(name), data, compresslevel=9)
    os.replace(partial, args.out)

    print(f"make-dist: packed {args.out}")


if __name__ == "__main__":
    main()
