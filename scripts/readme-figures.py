#!/usr/bin/python3
"""Puts the figures of the last `make bench` run (build/bench.md) into docs/figures.md,
between its two figure markers, so that the figures shown are always those of a
run, with its machine and date, and never copied by hand.

usage: readme-figures.py [BENCH_MD [FIGURES_MD]]
Standard library only.
"""

import os
import sys

BEGIN = "<!-- make readme-figures puts build/bench.md here -->"
END = "<!-- end of build/bench.md -->"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    bench = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build", "bench.md")
    readme = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "docs", "figures.md")
    if not os.path.exists(bench):
        sys.exit(f"readme-figures: {bench} is not there: run make bench first")
    with open(bench, encoding="utf-8") as f:
        lines = f.read().splitlines()
    # The table's own title: the figures' page has one.
    if lines and lines[0].startswith("# "):
        lines = lines[1:]
    figures = "\n".join(lines).strip("\n")
    if "Measured on " not in figures:
        sys.exit(f"readme-figures: {bench} doesn't say where and when it was measured")

    with open(readme, encoding="utf-8") as f:
        text = f.read()
    if text.count(BEGIN) != 1 or text.count(END) != 1 or text.index(BEGIN) > text.index(END):
        sys.exit(f"readme-figures: {readme} needs the lines {BEGIN} and {END}, once each, in that order")
    start = text.index(BEGIN) + len(BEGIN)
    updated = text[:start] + "\n" + figures + "\n" + text[text.index(END):]
    if updated == text:
        print(f"readme-figures: {os.path.relpath(readme, root)} already has these figures")
        return
    with open(readme, "w", encoding="utf-8") as f:
        f.write(updated)
    print(f"readme-figures: {os.path.relpath(readme, root)}'s figures are now {os.path.relpath(bench, root)}'s")


if __name__ == "__main__":
    main()
