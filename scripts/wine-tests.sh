#!/usr/bin/env bash
# Runs one cross build's tests under Wine on a virtual display, then ends every Wine
# process of that build's prefix so nothing lingers.
# usage: wine-tests.sh PRESET
set -uo pipefail
preset=$1
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$root/build/$preset/wineprefix

# The 32-bit suite needs a machine that runs 32-bit programs; the 64-bit suite then
# still reads the shipped 32-bit file as data.
if [ "$preset" = windows ] && ! "$root/scripts/can-run-32bit.sh"; then
  echo "wine-tests: skipped the 32-bit suite (build/windows): this machine can't run" \
       "32-bit programs${QUENDRAL_NO_32BIT:+ (QUENDRAL_NO_32BIT=1)}; the 64-bit suite runs."
  exit 0
fi

# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
trap 'wine_stop "$prefix"' EXIT

cd "$root" || exit 1
on_virtual_display "$prefix" ctest --preset "$preset"
