#!/usr/bin/env python3
"""Checks that a Windows program starts on Windows XP SP3: that its PE header asks for
no newer Windows than 5.1 and that every function it imports is one that
tests/imports.csv lists as exported by XP SP3 or older. Fails, naming the function,
on an import that needs a newer Windows or that the list does not know, and on any
import of a function the program looks up at run time, whatever the list says of it:
those are looked up because older systems lack them.

usage: check-imports.py PROGRAM.exe [LIST.csv]
"""
import csv
import re
import struct
import sys
from pathlib import Path

# The Windows releases the list names, oldest first; the program must start on XP SP3.
RELEASES = ["2000", "XP", "XP SP2", "XP SP3", "Vista", "7", "8", "8.1", "10 1507", "10 1607",
            "10 1703", "11"]
OLDEST = RELEASES.index("XP SP3")
MOST_OS_VERSION = (5, 1)

# The functions the program's own folders look up with GetProcAddress (ui/newer_windows.cpp's
# Find included), never to be imported. The sources are read too: a lookup missing here fails.
RUN_TIME_LOOKUPS = {
    "GetDpiForWindow", "GetDpiForSystem", "AdjustWindowRectExForDpi", "GetSystemMetricsForDpi",
    "SystemParametersInfoForDpi", "GetDpiForMonitor", "CoInitializeEx", "CoUninitialize",
    "CreateStdAccessibleObject", "LresultFromObject", "SysAllocString",
}
PROGRAM_FOLDERS = ["ui", "rotation", "announce", "support"]
LOOKUP = re.compile(r'\b(?:GetProcAddress|Find)\s*\((?:[^;"]|L?"[^"]*")*?"(\w+)"\s*\)', re.S)


def looked_up_in_sources(root):
    """The function names the program's sources pass to GetProcAddress or Find."""
    names = set()
    for folder in PROGRAM_FOLDERS:
        for source in sorted((root / folder).rglob("*")):
            if source.suffix in (".cpp", ".h"):
                names.update(LOOKUP.findall(source.read_text(errors="replace")))
    return names


def read_imports(data):
    """(major OS version, minor, major subsystem version, minor, [(dll, function)])."""
    def u16(at):
        return struct.unpack_from("<H", data, at)[0]

    def u32(at):
        return struct.unpack_from("<I", data, at)[0]

    if data[:2] != b"MZ":
        raise ValueError("not a Windows program (no MZ header)")
    pe = u32(0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections = u16(pe + 6)
    optional = pe + 24
    optional_size = u16(pe + 20)
    plus = u16(optional) == 0x20B
    versions = (u16(optional + 40), u16(optional + 42), u16(optional + 48), u16(optional + 50))
    directories = optional + (112 if plus else 96)
    import_rva = u32(directories + 8)

    table = optional + optional_size
    spans = []
    for i in range(sections):
        at = table + 40 * i
        size, rva, raw_size, raw = u32(at + 8), u32(at + 12), u32(at + 16), u32(at + 20)
        spans.append((rva, max(size, raw_size), raw))

    def offset(rva):
        for start, size, raw in spans:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("RVA 0x%x is in no section" % rva)

    def text(rva):
        at = offset(rva)
        return data[at:data.index(b"\0", at)].decode("ascii")

    imports = []
    entry = offset(import_rva) if import_rva else None
    while entry is not None:
        lookup, name_rva, first_thunk = u32(entry), u32(entry + 12), u32(entry + 16)
        if name_rva == 0:
            break
        dll = text(name_rva).lower()
        thunk = offset(lookup or first_thunk)
        width = 8 if plus else 4
        while True:
            value = struct.unpack_from("<Q" if plus else "<I", data, thunk)[0]
            if value == 0:
                break
            if value >> (63 if plus else 31):
                imports.append((dll, "#%d" % (value & 0xFFFF)))
            else:
                imports.append((dll, text((value & 0x7FFFFFFF) + 2)))
            thunk += width
        entry += 20
    return versions, imports


def main():
    program = Path(sys.argv[1])
    listed = Path(sys.argv[2]) if len(sys.argv) > 2 else \
        Path(__file__).resolve().parent.parent / "tests" / "imports.csv"
    known = {}
    with listed.open(newline="") as rows:
        for row in csv.DictReader(r for r in rows if not r.startswith("#")):
            known[(row["dll"].lower(), row["function"])] = row["oldest"]
            if row["oldest"] not in RELEASES:
                print("check-imports: %s: %s!%s: unknown release %r"
                      % (listed.name, row["dll"], row["function"], row["oldest"]))
                return 1

    versions, imports = read_imports(program.read_bytes())
    problems = []
    found = looked_up_in_sources(Path(__file__).resolve().parent.parent)
    for name in sorted(found - RUN_TIME_LOOKUPS):
        problems.append("the sources look up %s at run time: add it to RUN_TIME_LOOKUPS in %s"
                        % (name, Path(__file__).name))
    if versions[0:2] > MOST_OS_VERSION or versions[2:4] > MOST_OS_VERSION:
        problems.append("the PE header asks for OS %d.%d, subsystem %d.%d; Windows XP is 5.1"
                        % versions)
    for dll, function in imports:
        oldest = known.get((dll, function))
        if function in RUN_TIME_LOOKUPS | found:
            problems.append("%s!%s is looked up at run time, where older systems lack it; it"
                            " must not be imported" % (dll, function))
        elif oldest is None:
            problems.append("%s!%s is not in %s: add it with the oldest Windows that exports"
                            " it" % (dll, function, listed.name))
        elif RELEASES.index(oldest) > OLDEST:
            problems.append("%s!%s needs Windows %s; Quendral must start on XP SP3"
                            % (dll, function, oldest))
    for problem in problems:
        print("check-imports: %s: %s" % (program.name, problem))
    if problems:
        return 1
    print("check-imports: %s: %d imports, each in Windows XP SP3 or older; header %d.%d"
          % (program.name, len(imports), versions[0], versions[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
