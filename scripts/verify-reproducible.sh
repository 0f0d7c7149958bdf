#!/usr/bin/env bash
# Builds the shipped programs (Quendral.exe and the stand-in messenger, 32-bit) a
# second time from a copy of the sources in a temporary folder, under a different
# path, and compares them with build/windows's byte for byte. Any date, build path or
# machine-dependent order that gets into a file makes the two differ; the first
# differing offset is named.
# The second build is also made without the tests, as if doctest weren't installed: the
# program and the stand-in must build with no doctest at all, and be the same bytes.
# usage: verify-reproducible.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
programs=(Quendral.exe messenger.exe)
targets=(Quendral messenger)

# The first build: the ordinary one, brought up to date.
cmake --preset windows >/dev/null
cmake --build --preset windows --target "${targets[@]}" >/dev/null

# The second: the same sources at a different path, of a different length, from scratch,
# with no tests and no doctest.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quendral-reproducible.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
copy=$scratch/another/place/for/the/sources
mkdir -p "$copy"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # What the build sees: tracked files as they are now, and new ones not ignored.
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -f "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xf - -C "$copy"
else
  tar --exclude=./build --exclude=./dist -cf - . | tar -xf - -C "$copy"
fi
log=$scratch/build.log
if ! (cd "$copy" && cmake --preset windows -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_doctest=ON &&
  cmake --build --preset windows --target "${targets[@]}") >"$log" 2>&1; then
  cat "$log" >&2
  echo "verify-reproducible: the second build (no tests, no doctest) failed" >&2
  exit 1
fi

# What a differing offset is, where it falls in the PE headers.
field_at() {
  local file=$1 offset=$2 pe
  pe=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
  if ((offset >= pe + 8 && offset < pe + 12)); then
    echo " (the PE header's TimeDateStamp)"
  elif ((offset >= pe + 88 && offset < pe + 92)); then
    echo " (the PE header's CheckSum)"
  fi
}

failed=0
for program in "${programs[@]}"; do
  first=build/windows/$program
  second=$copy/build/windows/$program
  if out=$(cmp "$first" "$second" 2>&1); then
    echo "verify-reproducible: $program is the same, byte for byte ($(stat -c %s "$first") bytes)"
    continue
  fi
  failed=1
  if [[ $out =~ differ:\ (char|byte)\ ([0-9]+) ]]; then
    offset=$((BASH_REMATCH[2] - 1))
    printf 'verify-reproducible: %s differs between the two builds, first at offset %d (0x%x)%s\n' \
      "$program" "$offset" "$offset" "$(field_at "$first" "$offset")" >&2
  else
    echo "verify-reproducible: $program differs between the two builds: $out" >&2
  fi
done
exit $failed
