#!/usr/bin/env bash
# Counts the lines of the code and of the tests that git tracks: sources, headers,
# scripts and build files; tests/ and harness/ (which only drives tests) apart from the
# rest; prose, pictures and data aside.
# usage: count-lines.sh [REV]   (the working tree without REV)
set -euo pipefail
cd "$(dirname "$0")/.."
rev=${1:-}
files() {
  if [ -n "$rev" ]; then git ls-tree -r --name-only "$rev"; else git ls-files; fi |
    grep -E '(\.(c|cpp|h|py|sh|cmake|rc|in)|CMakeLists\.txt|Makefile)$' || true
}
count() {
  local total=0 n
  while read -r f; do
    if [ -n "$rev" ]; then n=$(git show "$rev:$f" | wc -l); else n=$(wc -l <"$f"); fi
    total=$((total + n))
  done
  echo "$total"
}
code=$(files | grep -Ev '^(tests|harness)/' | count)
tests=$(files | grep -E '^(tests|harness)/' | count)
echo "code $code lines, tests $tests lines${rev:+ at $rev}"
