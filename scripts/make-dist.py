#!/usr/bin/python3
"""Packs the release: a zip holding Quendral.exe, README.txt and SHA256SUMS.

usage: make-dist.py --version TEXT --exe Quendral.exe --readme README.txt --out ZIP

The zip is the same bytes on every run from the same inputs: its entries come in a
fixed order, each with the same date (1980-01-01 00:00, the earliest a zip holds),
the same permissions (0644) and no extra fields.
README.txt gets Windows line endings and the version in place of @VERSION@;
SHA256SUMS keeps Unix ones, the form `sha256sum -c` reads.
Standard library only.
"""

import argparse
import hashlib
import os
import sys
import zipfile

FIXED_TIME = (1980, 1, 1, 0, 0, 0)


def windows_text(text):
    """The text with every line ending as CR LF, whatever it had."""
    lines = text.replace("\r\n", "\n").replace("\r", "\n")
    return lines.replace("\n", "\r\n")


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
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    with open(args.exe, "rb") as f:
        exe = f.read()
    with open(args.readme, encoding="utf-8") as f:
        readme_text = f.read()
    if "@VERSION@" not in readme_text:
        sys.exit(f"make-dist: {args.readme} has no @VERSION@ to fill in")
    readme = windows_text(readme_text.replace("@VERSION@", args.version)).encode("utf-8")

    files = [("Quendral.exe", exe), ("README.txt", readme)]
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    files.append(("SHA256SUMS", sums.encode("ascii")))

    # Written beside the target and renamed over it, so a failed run leaves no half zip.
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    partial = args.out + ".partial"
    with zipfile.ZipFile(partial, "w") as z:
        for name, data in files:
            z.writestr(entry(name), data, compresslevel=9)
    os.replace(partial, args.out)

    with open(args.out, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    print(f"make-dist: {args.out}  sha256 {digest}")


if __name__ == "__main__":
    main()
